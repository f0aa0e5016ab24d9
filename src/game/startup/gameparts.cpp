#include "game/startup/gameparts.h"

namespace bsh {

GameParts::GameParts() = default;

GameParts::~GameParts() { m_engine.GetScreens().Clear(); }

bool GameParts::StartScene() { return m_engine.StartScene(); }

bool GameParts::StartGui(const tsv::RunOptions& options) { return m_engine.StartGui(options); }

void GameParts::StartMedia()
{
    if (!m_media) {
        m_media.emplace(std::make_unique<GameMedia>());
    }
}

void GameParts::StartState()
{
    if (!m_state) {
        m_state.emplace(std::make_unique<GameState>());
    }
}

} // namespace bsh
