// The options screen over the real settings: each change reaches its setting
// at once, ok keeps and cancel puts back, and leaving writes config.xml.

#include "engine/core/config.h"
#include "game/screens/optionsscreen.h"
#include "screentest.h"

#include <filesystem>
#include <optional>

namespace bsh::test {
namespace {

using Id = OptionsScreen::OptionId;
constexpr OptionsScreen::Step Back = OptionsScreen::Step::Back;

class OptionsScreenTest : public ScreenTest<OptionsScreen> {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        saved = tsv::GetConfig();
        MakeState("");
    }
    void TearDown() override
    {
        ScreenTest::TearDown();
        tsv::GetConfig() = saved;
    }
    void Open(std::optional<OptionsScreen::Settings> settings = std::nullopt)
    {
        OptionsScreen::Actions actions;
        actions.done = [this] { ++done; };
        actions.rebuild = [this](const OptionsScreen::Settings& next) {
            ++rebuilt;
            rebuiltWith = next;
        };
        screen = tsv::MakeIntrusive<OptionsScreen>(*state, actions, settings);
        ASSERT_TRUE(screen->IsRootLoaded());
    }
    void Click(const char* button) { screen->FindComponent(button)->FireEvent(tsv::GuiEvent::Click, 0, 0); }
    // Every setting the screen has changed away from its start, then the language.
    void ChangeEverything()
    {
        for (Id id : {Id::Sound, Id::Music, Id::Display, Id::Cursor, Id::Hints, Id::Clock}) {
            screen->Change(id, Back);
        }
        screen->Change(Id::Language);
        ASSERT_EQ(rebuilt, 1);
        ASSERT_TRUE(rebuiltWith.has_value());
        Open(rebuiltWith); // the screen again, in the new language
    }
    int32_t Index(Id id) const { return screen->Find(id)->index; }
    std::string Shown(Id id) const
    {
        return screen->FindComponent("valuetext" + std::to_string(OptionsScreen::OptionNumber(id)))->GetCaption();
    }

    tsv::Config saved;
    int done = 0, rebuilt = 0;
    std::optional<OptionsScreen::Settings> rebuiltWith;
};

TEST_F(OptionsScreenTest, VolumeBarsStopAtTheirEndsChoicesWrapAndEachReachesItsSetting)
{
    tsv::GetConfig().soundVolume = 0.9f; // 13.5 steps: index 13
    tsv::GetConfig().musicVolume = 0.0f;
    tsv::GetConfig().fullscreen = false;
    tsv::GetConfig().systemCursor = true;
    Open();
    EXPECT_EQ(Index(Id::Sound), 13);
    EXPECT_EQ(Shown(Id::Sound), OptionsScreen::BarText(13));
    for (int i = 0; i < 4; ++i) {
        screen->Change(Id::Sound);
    }
    EXPECT_EQ(Index(Id::Sound), 15);
    EXPECT_FLOAT_EQ(tsv::GetConfig().soundVolume, 1.0f);
    EXPECT_EQ(Shown(Id::Sound), "..............." + std::string(1, OptionsScreen::kMarker));

    screen->Change(Id::Music, Back);
    EXPECT_EQ(Index(Id::Music), 0);
    EXPECT_EQ(Shown(Id::Music)[0], OptionsScreen::kMarker);
    screen->Change(Id::Music);
    EXPECT_FLOAT_EQ(tsv::GetConfig().musicVolume, 1.0f / 15.0f);
    EXPECT_EQ(Index(Id::Sound), 15); // the other bar is untouched

    // The choices wrap.
    EXPECT_EQ(Shown(Id::Display), "Window");
    EXPECT_EQ(Index(Id::Cursor), 1); // "no" own cursor: the system's
    screen->Change(Id::Display);     // past the last: the first
    EXPECT_EQ(Shown(Id::Display), "Full screen");
    EXPECT_TRUE(tsv::GetConfig().fullscreen);
    tsv::GetConfig().fullscreen = false; // F11 while the screen shows
    screen->Run();
    EXPECT_EQ(Shown(Id::Display), "Window");
    screen->Change(Id::Cursor, Back);
    screen->Change(Id::Cursor, Back); // below the first: the last
    EXPECT_EQ(Index(Id::Cursor), 1);
    EXPECT_TRUE(tsv::GetConfig().systemCursor);
    screen->Change(Id::Cursor);
    EXPECT_FALSE(tsv::GetConfig().systemCursor);

    EXPECT_TRUE(state->CurrentProfile()->GetHints());
    EXPECT_EQ(Shown(Id::Hints), "Yes");
    screen->Change(Id::Hints);
    EXPECT_FALSE(state->CurrentProfile()->GetHints());

    EXPECT_EQ(Shown(Id::Clock), "Timed");
    screen->Change(Id::Clock);
    EXPECT_EQ(Shown(Id::Clock), "Relaxed");
    EXPECT_TRUE(state->IsClockRelaxed());
}

TEST_F(OptionsScreenTest, TheLanguageWrapsSwitchesAtOnceAndRebuildsTheScreen)
{
    Open();
    const auto& names = screen->Find(Id::Language)->values;
    ASSERT_GT(names.size(), 1u);
    EXPECT_EQ(Shown(Id::Language), "English");
    screen->Change(Id::Language, Back); // English is first: wraps to the last
    EXPECT_EQ(tsv::LanguageManager::Instance().GetCurrent(), tsv::LanguageFromName(names.back()));
    EXPECT_EQ(rebuilt, 1);
    // Texts looked up from now on are the new language's.
    EXPECT_NE(tsv::LanguageManager::Instance().GetText("$Screen.Options.title"), "Options");

    // Each language is shown by its own name, in its own letters (code page bytes).
    const std::pair<const char*, const char*> owns[] = {{"Francais", "Fran\xE7" "ais"},
                                                        {"Russian", "\xD0\xF3\xF1\xF1\xEA\xE8\xE9"},
                                                        {"Japan", "\x93\xFA\x96{\x8C\xEA"}};
    for (const auto& [file, own] : owns) {
        SCOPED_TRACE(file);
        tsv::LanguageManager::Instance().SwitchLanguage(tsv::LanguageFromName(file));
        Open();
        EXPECT_EQ(Shown(Id::Language), own);
    }
    tsv::LanguageManager::Instance().SwitchLanguage(tsv::LanguageFromName("English"));
}

TEST_F(OptionsScreenTest, CancelPutsEverySettingBackAndOkKeepsThemBothWrite)
{
    tsv::Config& config = tsv::GetConfig();
    config.soundVolume = 0.6f;
    config.musicVolume = 0.4f;
    config.fullscreen = false;
    config.systemCursor = true;
    const tsv::LanguageId english = tsv::LanguageManager::Instance().GetCurrent();

    Open();
    ChangeEverything();
    EXPECT_NE(tsv::LanguageManager::Instance().GetCurrent(), english);
    EXPECT_LT(config.soundVolume, 0.6f);
    EXPECT_TRUE(config.fullscreen);
    Click("cancelbutton");
    EXPECT_EQ(done, 1);
    EXPECT_EQ(tsv::LanguageManager::Instance().GetCurrent(), english);
    EXPECT_FLOAT_EQ(config.soundVolume, 0.6f);
    EXPECT_FLOAT_EQ(config.musicVolume, 0.4f);
    EXPECT_FALSE(config.fullscreen);
    EXPECT_TRUE(config.systemCursor);
    EXPECT_TRUE(state->CurrentProfile()->GetHints());
    EXPECT_FALSE(state->IsClockRelaxed());
    // Written as put back.
    tsv::Config written;
    written.Load(storage->Path());
    EXPECT_FLOAT_EQ(written.musicVolume, 0.4f);
    EXPECT_FALSE(written.fullscreen);

    rebuilt = 0;
    std::filesystem::remove(storage->File("config.xml"));
    Open();
    ChangeEverything();
    Click("okbutton");
    EXPECT_EQ(done, 2);
    EXPECT_NE(tsv::LanguageManager::Instance().GetCurrent(), english);
    EXPECT_TRUE(config.fullscreen);
    EXPECT_FALSE(config.systemCursor);
    EXPECT_FALSE(state->CurrentProfile()->GetHints());
    EXPECT_TRUE(state->IsClockRelaxed());
    EXPECT_TRUE(std::filesystem::exists(storage->File("config.xml")));
    tsv::LanguageManager::Instance().SwitchLanguage(english);
    EXPECT_FALSE(screen->FindComponent("creditsbutton")->GetOwnEnabled()); // no credits screen yet
}

} // namespace
} // namespace bsh::test
