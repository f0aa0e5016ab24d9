#include "guitest.h"

#include "engine/platform/keynames.h"

namespace tsv::test {
namespace {

class ScreenFileTest : public GuiTest {};

TEST_F(ScreenFileTest, ReadsTheComponentTree)
{
    testsupport::LogCapture log;
    ScreenPtr screen = LoadScreen(R"(
        <name>options</name><layer>12</layer><extra>ignored</extra>
        <rootcomponent>
          <name>root</name><type>panel</type><width>400</width><height>300</height>
          <component>
            <name>ok</name><xcenter>-50</xcenter><ycenter>40</ycenter><width>120</width><height>30</height>
            <caption>$Dialog.ok</caption><hint>plain hint</hint><hotkey>KEY_RETURN</hotkey>
            <captioncolor>0xFF102030</captioncolor><captionshadowcolor>255</captionshadowcolor>
            <align>left</align><verticalalign>bottom</verticalalign><maxchar>7</maxchar><tag>3</tag>
            <component><name>deep</name><type>label</type><caption>literal text</caption>
              <captioncolor>4278255360</captioncolor></component>
          </component>
          <component><event><name>click</name><sound>/sound/mouseclick.wav</sound></event></component>
          <component></component>
          <component><name>odd</name><type>slider</type><align>middle</align><captioncolor>010</captioncolor>
            <captionshadowtype>2</captionshadowtype><captionshadowcolor>16</captionshadowcolor></component>
        </rootcomponent>)");
    ASSERT_TRUE(screen->IsRootLoaded());
    EXPECT_EQ(screen->GetName(), "options");
    EXPECT_EQ(screen->GetLayer(), 12);
    EXPECT_TRUE(log.Contains(LogLevel::Hint, "Loaded: " + dir.Path() + "screen.xml"));
    // The empty component is refused with an Error and left out.
    EXPECT_TRUE(log.Contains(LogLevel::Error, dir.Path() + "screen.xml: tag <component> has no subtags"));
    GUIComponent* root = screen->GetRoot();
    ASSERT_EQ(root->GetChildren().size(), 3u);

    GUIComponent* ok = screen->FindComponent("ok");
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->GetType(), ComponentType::Button); // the default type
    EXPECT_EQ(ok->GetCaption(), "OK");         // "$" captions are language keys
    EXPECT_EQ(ok->GetHint(), "plain hint");
    EXPECT_EQ(ok->GetHotkey(), KeyCode(KeyId::Return));
    EXPECT_EQ(ok->GetCaptionColor(), 0xFF102030u);
    EXPECT_EQ(ok->GetShadowColor(), 255u);
    EXPECT_EQ(ok->GetShadowType(), 0); // a shadow colour alone turns the shadow on
    EXPECT_EQ(ok->GetHAlign(), ComponentAlign::Left);
    EXPECT_EQ(ok->GetVAlign(), ComponentAlign::Bottom);
    EXPECT_EQ(ok->GetMaxChars(), 7);
    EXPECT_EQ(ok->GetTag(), 3);
    EXPECT_EQ(ok->GetFontId(), 1);
    EXPECT_EQ(screen->FindComponent("deep")->GetCaption(), "literal text");
    EXPECT_EQ(screen->FindComponent("deep")->GetCaptionColor(), 0xFF00FF00u); // decimal as well as hex
    // Children sit relative to their parent.
    const Vec3 world = screen->FindComponent("deep")->GetWorldPosition();
    EXPECT_EQ(world.x, -50);
    EXPECT_EQ(world.y, 40);

    // A component with only an event is valid.
    const GUIComponent& eventOnly = *root->GetChildren()[1];
    ASSERT_TRUE(eventOnly.GetEvent("click"));
    EXPECT_EQ(eventOnly.GetEvent("click")->soundPath, "/sound/mouseclick.wav");

    GUIComponent* odd = screen->FindComponent("odd");
    EXPECT_EQ(odd->GetType(), ComponentType::Unknown);
    EXPECT_EQ(odd->GetHAlign(), ComponentAlign::Unknown);
    EXPECT_EQ(odd->GetCaptionColor(), 8u); // a leading 0 is octal
    EXPECT_EQ(odd->GetShadowType(), 2);    // an earlier shadow type stays
    EXPECT_EQ(odd->GetShadowColor(), 16u);
}

TEST_F(ScreenFileTest, FileLevelFailures)
{
    testsupport::LogCapture log;
    ScreenPtr two = LoadScreen("<rootcomponent><name>first</name></rootcomponent>"
                               "<rootcomponent><name>second</name></rootcomponent>");
    EXPECT_EQ(two->GetRoot()->GetName(), "first");

    ScreenPtr none = LoadScreen("<name>x</name>");
    EXPECT_FALSE(none->IsRootLoaded());
    EXPECT_TRUE(log.Contains(LogLevel::Warning, dir.Path() + "screen.xml: incorrect format"));

    testsupport::WriteFile(dir.Path() + "menu.xml", "<menu><rootcomponent><name>a</name></rootcomponent></menu>");
    Screen wrongRoot;
    EXPECT_FALSE(wrongRoot.LoadScreenFile(dir.Path() + "menu.xml"));
    EXPECT_TRUE(log.Contains(LogLevel::Error, dir.Path() + "menu.xml: root tag <screen> not found"));

    Screen missing;
    EXPECT_FALSE(missing.LoadScreenFile(dir.Path() + "nothing.xml"));

    // Lookups by name.
    EXPECT_EQ(two->FindComponent("nobody"), nullptr);
    EXPECT_TRUE(log.Contains(LogLevel::Warning, dir.Path() + "screen.xml: component not found: nobody"));
    EXPECT_FALSE(two->SetHandler("nobody", GuiEvent::Click, [](GUIComponent&) {}));
    EXPECT_TRUE(log.Contains(LogLevel::Warning, dir.Path() + "screen.xml: cannot set handler to component <nobody>"));
}

TEST_F(ScreenFileTest, CaptionFontsAndScale)
{
    testsupport::LogCapture log;
    ScreenPtr screen = LoadScreen("<rootcomponent><name>a</name><caption>Hi</caption><captionscale>0.5</captionscale>"
                                  "<component><name>b</name><caption>Hi</caption><font>7</font></component>"
                                  "</rootcomponent>");
    EXPECT_EQ(screen->FindComponent("a")->GetCaptionScale(), 0.5f);
    EXPECT_TRUE(log.Contains(LogLevel::Error, dir.Path() + "screen.xml:\tfont reference error"));

    // Under Japanese the file's caption scale is ignored.
    testsupport::ScratchDir languages;
    testsupport::WriteFile(languages.Path() + "japan932.xml", "<hierarchy><a>b</a></hierarchy>");
    LanguageManager::Instance().Scan(languages.Path());
    LanguageManager::Instance().SwitchLanguage(kJapan, LanguageManager::ESetting::Keep);
    ScreenPtr japanese = LoadScreen("<rootcomponent><name>a</name><captionscale>0.5</captionscale></rootcomponent>");
    EXPECT_TRUE(japanese->IsEastAsian());
    EXPECT_EQ(japanese->FindComponent("a")->GetCaptionScale(), 1.0f);
}

TEST_F(ScreenFileTest, AnOverlongCaptionIsCutWithAWarning)
{
    // A megabyte of text (a broken translation) was a scene node per byte,
    // about 2 GB; it is cut to what any text of the game could need.
    testsupport::LogCapture log;
    ScreenPtr screen = LoadScreen("<rootcomponent><name>a</name><type>label</type><width>200</width><height>40</height>"
                                  "<caption>x</caption></rootcomponent>");
    GUIComponent* label = screen->FindComponent("a");
    label->SetCaption(std::string(1 << 20, 'W'));
    EXPECT_EQ(label->GetCaption().size(), GUIComponent::kMaxCaptionBytes);
    EXPECT_TRUE(log.Contains(LogLevel::Warning, "The caption of \"a\" is 1048576 bytes long; only its first 16384 are shown"));
}

TEST_F(ScreenFileTest, TheGameDialogFilesLoadCleanly)
{
    testsupport::LogCapture log;
    for (const char* path : {"/gui/confirmscreen.xml", "/gui/infoscreen.xml", "/gui/inputscreen.xml"}) {
        Screen screen;
        ASSERT_TRUE(screen.LoadScreenFile(path)) << path;
        for (const char* name : {"messagetext", "yesbutton"}) {
            EXPECT_TRUE(screen.GetRoot()->Find(name)) << path << " " << name;
        }
        EXPECT_EQ(screen.GetRoot()->Find("yesbutton")->GetHotkey(), KeyCode(KeyId::Return)) << path;
        ASSERT_TRUE(screen.GetRoot()->Find("nobutton")) << path;
        EXPECT_EQ(screen.GetRoot()->Find("nobutton")->GetHotkey(), KeyCode(KeyId::Escape)) << path;
    }
    EXPECT_TRUE(log.Texts(LogLevel::Error).empty()) << log.Texts(LogLevel::Error).front();
    EXPECT_TRUE(log.Texts(LogLevel::Warning).empty()) << log.Texts(LogLevel::Warning).front();
}

} // namespace
} // namespace tsv::test
