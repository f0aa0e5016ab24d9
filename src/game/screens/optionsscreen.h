#pragma once
// Seven settings, each with a decrease and an increase button, every change
// applied at once: the two volumes, full screen or window, the language, the
// system cursor, and the profile's hints and clock (timed or relaxed). Ok keeps what was changed; cancel
// puts every setting back as it was when the screen opened (a language
// change rebuilds the screen, which keeps that first state). Both write the
// settings.

#include "engine/gui/font.h"
#include "engine/gui/languagetable.h"
#include "engine/gui/screen.h"
#include "game/progress/gamestate.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace bsh {

class OptionsScreen : public tsv::Screen {
public:
    static constexpr const char* kScreenFile = "/gui/optionsscreen.xml";
    static constexpr int32_t kBarSteps = 16;
    static constexpr char kMarker = '\x1F';

    enum class OptionId : int32_t {
        Sound = 1,
        Music = 2,
        Display = 3,
        Language = 4,
        Cursor = 5,
        Hints = 6,
        Clock = 7,
    };
    // The number screen files know an option by: its buttons' tags (negative
    // on a decrease button) and its "valuetext<n>" line.
    static constexpr int32_t OptionNumber(OptionId id) { return static_cast<int32_t>(id); }
    // A button's step through an option's values.
    enum class Step { Back, Forward };

    struct Option {
        OptionId id{};
        std::vector<std::string> values;
        int32_t index = 0;
    };

    // Every setting the screen changes, as it stands.
    struct Settings {
        float soundVolume = 1, musicVolume = 1;
        bool fullscreen = false;
        tsv::LanguageId language{};
        bool systemCursor = false;
        bool hints = true; // of the current profile; none: left alone
        bool relaxedClock = false; // of the current profile

        static Settings Current(const GameState& state);
    };

    struct Actions {
        std::function<void()> done; // ok and cancel, after the settings were written
        // A new language: this screen again, in it, with the settings it opened with.
        std::function<void(const Settings& opened)> rebuild;
        std::function<void()> credits; // none: the button is disabled
    };

    // `opened`: what cancel goes back to; none for the settings now.
    OptionsScreen(GameState& state, Actions actions, std::optional<Settings> opened = std::nullopt);

    void Change(OptionId id, Step step = Step::Forward);
    const Option* Find(OptionId id) const;

    // 15 dots with the marker at `index` (0..15).
    static std::string BarText(int32_t index);

    // Screen: also follows a display mode changed by the full-screen keys.
    void Run() override;

private:
    Option* FindNumbered(int32_t number);
    void Apply(const Option& option);
    void ShowValue(const Option& option);
    void ShowLanguageName(tsv::GUIComponent& text, tsv::LanguageId id);
    // Ok keeps the settings; cancel puts back those the screen opened with.
    enum class Closing { Keep, PutBack };
    void Leave(Closing closing);
    void Restore(const Settings& settings);

    GameState& m_state;
    Actions m_actions;
    std::vector<Option> m_options;
    std::vector<tsv::LanguageId> m_languages;
    Settings m_opened;
    std::map<std::string, tsv::FontPtr> m_nameFonts; // other code pages' fonts, by path
    bool m_leaving = false;
};

} // namespace bsh
