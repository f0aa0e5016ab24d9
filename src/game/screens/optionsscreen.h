#pragma once
// Six settings, each with a decrease and an increase button, every change
// applied at once: the two volumes, full screen or window, the language, the
// system cursor and the profile's hints. Ok and cancel both keep what was
// changed and write the settings.

#include "engine/gui/languagetable.h"
#include "engine/gui/screen.h"
#include "game/progress/gamestate.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace bsh {

class OptionsScreen : public tsv::Screen {
public:
    static constexpr const char* kScreenFile = "/gui/optionsscreen.xml";
    static constexpr int32_t kBarSteps = 16;
    static constexpr char kMarker = '\x1F';

    enum OptionId : int32_t {
        OptionSound = 1,
        OptionMusic = 2,
        OptionDisplay = 3,
        OptionLanguage = 4,
        OptionCursor = 5,
        OptionHints = 6,
    };

    struct Option {
        int32_t id = 0;
        std::vector<std::string> values;
        int32_t index = 0;
    };

    struct Actions {
        std::function<void()> done;    // ok and cancel, after the settings were written
        std::function<void()> rebuild; // a new language: this screen again, in it
        std::function<void()> credits; // none: the button is disabled
    };

    OptionsScreen(GameState& state, Actions actions);

    // A button's value: the option id, negative for a decrease.
    void Change(int32_t value);
    const Option* Find(int32_t id) const;

    // 15 dots with the marker at `index` (0..15).
    static std::string BarText(int32_t index);

    // Screen: also follows a display mode changed by the full-screen keys.
    void Run() override;

private:
    void Apply(const Option& option);
    void ShowValue(const Option& option);
    void Leave();

    GameState& m_state;
    Actions m_actions;
    std::vector<Option> m_options;
    std::vector<tsv::LanguageId> m_languages;
    bool m_leaving = false;
};

} // namespace bsh
