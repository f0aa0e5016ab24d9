#pragma once
// The hub of the game: quest, arcade and endless play, highscores, treasury, profiles,
// options, the home page and the way out. What each button leads to is given
// by whoever opens the menu; a button without an action is shown disabled.

#include "engine/gui/screen.h"
#include "game/progress/gamestate.h"

#include <functional>

namespace bsh {

class MainMenuScreen : public tsv::Screen {
public:
    static constexpr const char* kScreenFile = "/gui/mainmenuscreen.xml";
    static constexpr const char* kVersion = "1.91";
    // Centre-to-centre distance of the buttons, from the first button's place down.
    static constexpr int32_t kButtonPitch = 48;

    struct Actions {
        std::function<void()> quest, arcade, endless, hiscore, treasury, profile, options, more;
    };

    MainMenuScreen(GameState& state, Actions actions);

    // What "exitbutton" does: the standard question, and on yes the program ends.
    void AskToExit();

private:
    void Bind(const char* name, const std::function<void()>& action);
    void StackButtons();

    GameState& m_state;
    Actions m_actions;
    bool m_asking = false;
};

} // namespace bsh
