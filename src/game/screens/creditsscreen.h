#pragma once
// Who made the game and what it is built on; leads back to the options.

#include "game/screens/closablescreen.h"

namespace bsh {

class CreditsScreen : public ClosableScreen {
public:
    static constexpr const char* kScreenFile = "/gui/creditsscreen.xml";

    explicit CreditsScreen(std::function<void()> onClose)
        : ClosableScreen(kScreenFile, {"okbutton", "cancelbutton"}, std::move(onClose))
    {
    }
};

} // namespace bsh
