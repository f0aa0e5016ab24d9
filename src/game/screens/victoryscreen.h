#pragma once
// The end of the quest: a celebration that leads back to the main menu.

#include "game/screens/closablescreen.h"

namespace bsh {

class VictoryScreen : public ClosableScreen {
public:
    static constexpr const char* kScreenFile = "/gui/victoryscreen.xml";

    explicit VictoryScreen(std::function<void()> onClose)
        : ClosableScreen(kScreenFile, {"closebutton", "cancelbutton"}, std::move(onClose))
    {
    }
};

} // namespace bsh
