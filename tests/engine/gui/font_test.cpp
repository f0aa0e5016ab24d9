#include "engine/gui/font.h"

#include "../scene/scenetest.h"
#include "support/testsupport.h"

#include <algorithm>
#include <vector>

namespace tsv {
namespace {

// A font where 'A' is 10 wide, 'B' 12, the blank 4, all 20 high except a last 'C' of 18.
const char* const kSmallFont = "<font><texture>/font/x.png</texture>"
                               "<character><id>65</id><x>1</x><y>2</y><width>10</width><height>20</height></character>"
                               "<character><id>32</id><width>4</width><height>20</height></character>"
                               "<character><id>66</id><x>30</x><width>12</width><height>20</height><kern>3</kern></character>"
                               "<character><id>67</id><x>50</x><width>9</width><height>18</height></character>"
                               "</font>";

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

TEST_F(FontTest, GameFontsLoadForEveryCodePage)
{
    testsupport::LogCapture log;
    for (const char* path : {"/font/body-1252.xml", "/font/body-1250.xml", "/font/body-1251.xml", "/font/title-1252.xml",
                             "/font/title-1250.xml", "/font/title-1251.xml"}) {
        Font font;
        ASSERT_TRUE(font.Load(path)) << path;
        EXPECT_GT(font.GetCharCount(), 150u) << path;
        EXPECT_TRUE(font.GetChar(' ')) << path;
        EXPECT_GT(font.GetLineHeight(), 10.0f) << path;
        EXPECT_NE(Scene().GetTexture(font.GetTexturePath()), 0u) << path;
    }
    EXPECT_TRUE(log.Texts(LogLevelError).empty());
}

TEST_F(FontTest, FileRules)
{
    FontPtr font = LoadText(std::string(kSmallFont).replace(std::string(kSmallFont).find("<character><id>67"), 0,
                                                             "<character><id>65</id><width>11</width><height>22</height></character>"));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(font->GetChar('A')->width, 11.0f); // a repeated id keeps the later rectangle
    EXPECT_EQ(font->GetLineHeight(), 18.0f);     // the last character's height, not the tallest
    EXPECT_EQ(font->GetChar('B')->x, 30.0f);     // unknown children are ignored
    EXPECT_EQ(font->GetChar(' ')->x, 0.0f);      // missing ones are 0
    EXPECT_EQ(font->GetTexturePath(), "/font/x.png");

    testsupport::LogCapture log;
    LoadText("<glyphs><character><id>65</id></character></glyphs>");
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(log.Contains(LogLevelError, "Error loading font \"" + dir.Path() + "font.xml\" - root item must be <font>"));
    Font missing;
    EXPECT_FALSE(missing.Load(dir.Path() + "none.xml"));
    EXPECT_TRUE(log.Contains(LogLevelError, "Font file not found"));
}

TEST_F(FontTest, MeasuresLinesTagsAndUnknownBytes)
{
    FontPtr font = LoadText(std::string(kSmallFont).replace(std::string(kSmallFont).find("<character><id>67"),
                                                             std::string("<character><id>67</id><x>50</x><width>9</width><height>18</height></character>").size(), ""));
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
    FontPtr font = LoadText(kSmallFont);
    ASSERT_TRUE(loaded);
    SceneNode line;
    line.SetLayer(6, false);
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
    auto at = [&](size_t i) { return nodes[i]; };
    EXPECT_EQ(at(0)->GetPosition(), (Vec3{0, 0, 0}));
    EXPECT_EQ(at(1)->GetPosition(), (Vec3{10, 0, 0}));
    EXPECT_EQ(at(2)->GetPosition(), (Vec3{22, 0, 0}));
    EXPECT_EQ(at(3)->GetPosition(), (Vec3{0, 18, 0})); // the next line starts at the left again
    EXPECT_EQ(at(1)->GetColor(), 0xFFFFFFFFu);
    EXPECT_EQ(at(2)->GetColor(), 0xFF00FF00u);
    EXPECT_EQ(at(2)->GetMesh().textureOffsetX, 1.0f);
    EXPECT_EQ(at(2)->GetLayer(), 6);
}

} // namespace
} // namespace tsv
