// The game suite's parts over the engine's: the game-wide state and the
// shared media, installed as the game's start-up installs them.

#include "engine/gui/engine.h"
#include "game/progress/gamestate.h"
#include "game/screens/gamemedia.h"
#include "support/testparts.h"

#include <memory>

namespace {

struct GameTestParts {
    tsv::OwnedPart<bsh::GameState> state{std::make_unique<bsh::GameState>()};
    tsv::OwnedPart<bsh::GameMedia> media{std::make_unique<bsh::GameMedia>()};
};

[[maybe_unused]] const bool g_added = [] {
    testsupport::SuiteParts().push_back([] { return std::make_shared<GameTestParts>(); });
    return true;
}();

} // namespace
