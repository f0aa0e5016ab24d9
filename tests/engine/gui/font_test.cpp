#include "engine/gui/font.h"
#include "engine/gui/languagemanager.h"

#include "engine/scene/scenetest.h"
#include "support/testsupport.h"

#include <algorithm>
#include <vector>

namespace tsv {
namespace {

const std::string kLastC = "<character><id>67</id><x>50</x><width>9</width><height>18</height></character>";

// A font where 'A' is 10 wide, 'B' 12, the blank 4, all 20 high, then `last` (a 'C' of 18 unless told).
std::string SmallFont(const std::string& last = kLastC)
{
    return "<font><texture>/font/x.png</texture>"
           "<character><id>65</id><x>1</x><y>2</y><width>10</width><height>20</height></character>"
           "<character><id>32</id><width>4</width><height>20</height></character>"
           "<character><id>66</id><x>30</x><width>12</width><height>20</height><kern>3</kern></character>" +
           last + "</font>";
}

class FontTest : public test::SceneTest {
protected:
    FontPtr LoadText(const std::string& xml)
    {
        testsupport::WriteFile(dir.Path() + "font.xml", xml);
        FontPtr font(new Font);
        loaded = font->Load(dir.Path() + "font.xml");
        return font;
    }
    testsupport::ScratchDir dir;
    bool loaded = false;
};

TEST_F(FontTest, FileRules)
{
    const std::string repeatedA = "<character><id>65</id><width>11</width><height>22</height></character>";
    FontPtr font = LoadText(SmallFont(repeatedA + kLastC));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(font->GetChar('A')->width, 11.0f); // a repeated id keeps the later rectangle
    EXPECT_EQ(font->GetLineHeight(), 18.0f);     // the last character's height, not the tallest
    EXPECT_EQ(font->GetChar('B')->x, 30.0f);     // unknown children are ignored
    EXPECT_EQ(font->GetChar(' ')->x, 0.0f);      // missing ones are 0
    EXPECT_EQ(font->GetTexturePath(), "/font/x.png");

    testsupport::LogCapture log;
    LoadText("<glyphs><character><id>65</id></character></glyphs>");
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(log.Contains(LogLevel::Error, "Error loading font \"" + dir.Path() + "font.xml\" - root item must be <font>"));
    Font missing;
    EXPECT_FALSE(missing.Load(dir.Path() + "none.xml"));
    EXPECT_TRUE(log.Contains(LogLevel::Error, "Font file not found"));
}

TEST_F(FontTest, MeasuresLinesTagsAndUnknownBytes)
{
    FontPtr font = LoadText(SmallFont(""));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(font->MeasureText(""), (Vec2{0, 0}));
    EXPECT_EQ(font->MeasureText("AB"), (Vec2{22, 20}));
    EXPECT_EQ(font->MeasureText("A\nBB"), (Vec2{24, 40}));
    EXPECT_EQ(font->MeasureText("AzA"), (Vec2{24, 20}));            // z has no glyph: a blank
    EXPECT_EQ(font->MeasureText("A#{!0xFFFF0000}B"), (Vec2{22, 20})); // a colour tag takes no room
    EXPECT_EQ(font->MeasureText("#{A"), (Vec2{4 + 4 + 10, 20}));      // unclosed: plain characters
}

TEST_F(FontTest, LaysOneNodePerCharacterInTheCurrentColour)
{
    FontPtr font = LoadText(SmallFont());
    ASSERT_TRUE(loaded);
    SceneNode line;
    line.SetLayer(6, Scope::Node);
    font->LayText("AB#{!0xFF00FF00}A\nB", line, 0xFFFFFFFF);
    ASSERT_TRUE(line.GetChildren());
    // Children are kept by identity; put them back in reading order.
    std::vector<SceneNode*> nodes;
    for (const HierarchyNodePtr& child : line.GetChildren()->nodes) {
        nodes.push_back(static_cast<SceneNode*>(child.Get()));
    }
    std::sort(nodes.begin(), nodes.end(), [](SceneNode* a, SceneNode* b) {
        return std::pair(a->GetPosition().y, a->GetPosition().x) < std::pair(b->GetPosition().y, b->GetPosition().x);
    });
    ASSERT_EQ(nodes.size(), 4u);
    EXPECT_EQ(nodes[0]->GetPosition(), (Vec3{0, 0, 0}));
    EXPECT_EQ(nodes[1]->GetPosition(), (Vec3{10, 0, 0}));
    EXPECT_EQ(nodes[2]->GetPosition(), (Vec3{22, 0, 0}));
    EXPECT_EQ(nodes[3]->GetPosition(), (Vec3{0, 18, 0})); // the next line starts at the left again
    EXPECT_EQ(nodes[1]->GetColor(), 0xFFFFFFFFu);
    EXPECT_EQ(nodes[2]->GetColor(), 0xFF00FF00u);
    EXPECT_EQ(nodes[2]->GetMesh().textureOffsetX, 1.0f);
    EXPECT_EQ(nodes[2]->GetLayer(), 6);

    // However long the text, the nodes laid are bounded.
    SceneNode flood;
    font->LayText(std::string(1 << 20, 'A'), flood, 0xFFFFFFFF);
    EXPECT_EQ(flood.GetChildCount(), Font::kMaxLaidCharacters);
}

TEST_F(FontTest, DoubleByteCodePagesReadLeadAndTrailAsOneCharacter)
{
    // 0x82A0 is one character of code page 932; 0x41 and 0x82 alone are not.
    FontPtr font = LoadText("<font><character><id>33440</id><width>20</width><height>20</height></character>"
                            "<character><id>33090</id><width>20</width><height>20</height></character>"
                            "<character><id>33142</id><width>20</width><height>20</height></character>"
                            "<character><id>32</id><width>5</width><height>20</height></character>"
                            "<character><id>65</id><width>10</width><height>20</height></character></font>");
    ASSERT_TRUE(loaded);
    font->SetCodePage(932);
    EXPECT_EQ(font->MeasureText("A\x82\xA0" "A"), (Vec2{40, 20}));
    SceneNode line;
    font->LayText("\x82\xA0\x82\xA0", line, 0xFFFFFFFF);
    EXPECT_EQ(line.GetChildCount(), 2u);
    // Without the code page the same bytes are two unknown characters each.
    font->SetCodePage(1252);
    EXPECT_EQ(font->MeasureText("\x82\xA0"), (Vec2{10, 20}));

    // East Asian lines may break between any two characters.
    font->SetCodePage(932);
    EXPECT_EQ(font->WrapText("\x82\xA0\x82\xA0\x82\xA0", 45, true), "\x82\xA0\x82\xA0\n\x82\xA0");
    // But a line never begins with a closing mark ("\x81\x42" is the full stop,
    // "\x81\x76" the closing bracket): the character before it goes down too.
    EXPECT_EQ(font->WrapText("\x82\xA0\x82\xA0\x81\x42", 45, true), "\x82\xA0\n\x82\xA0\x81\x42");
    EXPECT_EQ(font->WrapText("\x82\xA0\x82\xA0\x81\x42\x81\x76", 65, true),
              "\x82\xA0\n\x82\xA0\x81\x42\x81\x76");
    EXPECT_EQ(font->WrapText("AA AA AA", 30, false), "AA\nAA\nAA"); // elsewhere at blanks
    EXPECT_EQ(font->WrapText("AAAAA", 30, false), "AAA\nAA");        // a word too long breaks anyway
}

TEST_F(FontTest, IconTagsPlaceTheCurrentSetsIcons)
{
    testsupport::WriteFile(dir.Path() + "icons.xml",
                           "<icons><icon><name>gem</name><node><mesh><width>16</width><height>16</height></mesh>"
                           "</node></icon></icons>");
    testsupport::WriteFile(dir.Path() + "English.xml", "<hierarchy><iconset>" + dir.Path() + "icons.xml</iconset></hierarchy>");
    LanguageManager& languages = LanguageManager::Instance();
    languages.Reset();
    languages.Scan(dir.Path());
    languages.SwitchLanguage(kEnglish, LanguageManager::ESetting::Keep);
    FontPtr font = LoadText(SmallFont());
    EXPECT_EQ(font->MeasureText("A#{gem}A"), (Vec2{36, 18}));
    SceneNode line;
    font->LayText("A#{gem}#{nothing}A", line, 0xFFFFFFFF);
    EXPECT_EQ(line.GetChildCount(), 3u); // an unknown icon adds nothing
    testsupport::LogCapture log;
    font->MeasureText("#{nothing}");
    EXPECT_TRUE(log.Contains(LogLevel::Warning, "Invalid Icon ID:nothing"));
    languages.Reset();
}

} // namespace
} // namespace tsv
