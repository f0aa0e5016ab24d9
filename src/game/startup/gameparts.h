#pragma once
// Everything a run of the game is made of, built in order by the start-up:
// the engine's parts; once the window and the GUI are up, the game-wide state
// (players, highscores, extras, saved runs) and the music, sounds and effects
// the screens share, for a run that plays the game (the node and screen
// viewers need neither). The screens go first, while the state they save into
// still exists; then the game's parts, then the engine's.

#include "engine/gui/engine.h"
#include "game/progress/gamestate.h"
#include "game/screens/gamemedia.h"

#include <optional>
#include <string>

namespace bsh {

class GameParts {
public:
    // Reads the settings from the storage folder set before; opens the sound
    // device as the run's options ask.
    GameParts();
    ~GameParts();
    GameParts(const GameParts&) = delete;
    GameParts& operator=(const GameParts&) = delete;

    // Opens the window. False when the platform cannot start; StartError says why.
    bool StartScene();
    const std::string& StartError() const { return m_engine.GetFrameLoop().GetStartError(); }
    // The languages, the pointer and the --screen viewer; false when the run
    // cannot go on (the log says why).
    bool StartGui(const tsv::RunOptions& options);
    // Loads the music, sounds and effects the screens share.
    void StartMedia();
    // Reads the players' files into the game-wide state. A new player's
    // generated highscores draw on the run's random numbers, so each kind of
    // run does it at one fixed point: a level run before the level, the menus
    // as they are entered (see StartMenus).
    void StartState();

    tsv::Engine& Engine() { return m_engine; }
    // Once StartState has run.
    GameState& State() { return **m_state; }

private:
    tsv::Engine m_engine;
    std::optional<tsv::OwnedPart<GameState>> m_state;
    std::optional<tsv::OwnedPart<GameMedia>> m_media;
};

} // namespace bsh
