#include "game/screens/levelinplay.h"

#include "engine/gui/screenstack.h"
#include "game/screens/gamescreen.h"

namespace bsh {

void PauseLevelInPlay()
{
    const auto& screens = tsv::ScreenStack::Instance().GetScreens();
    for (auto it = screens.rbegin(); it != screens.rend(); ++it) {
        if (auto* game = dynamic_cast<GameScreen*>(it->Get())) {
            game->OpenPause();
            return;
        }
    }
}

void SaveLevelInPlay()
{
    for (const tsv::ScreenPtr& screen : tsv::ScreenStack::Instance().GetScreens()) {
        if (auto* game = dynamic_cast<GameScreen*>(screen.Get())) {
            game->SaveOnClose();
        }
    }
}

} // namespace bsh
