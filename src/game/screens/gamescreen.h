#pragma once
// The screen on which a level is played: it starts the level (or resumes the
// saved run), owns the level's PlayField with its view and runs the level's
// session every frame, opens the pause, asks before leaving and ends the
// level. The rest is done by parts it owns: the board's input (BoardInput),
// the HUD (LevelHud, EndlessHud), tutorial texts (TutorialTexts), what the
// session's cues show (SessionView: messages, the hint's arrows, effects),
// the scenery (LevelScenery), the saved run (SavedRun), the endless board's
// keeping (EndlessBoard), the recording (LevelRecorder) and its playback
// (ReplayPlayback). With autoplay a bot plays the level through the same
// session and closes tutorial texts as a player does.

#include "engine/gui/screen.h"
#include "engine/scene/inputmanager.h"
#include "game/board/levelloader.h"
#include "game/board/levelsession.h"
#include "game/board/playfield.h"
#include "game/progress/replay.h"
#include "game/screens/boardinput.h"
#include "game/screens/boardview.h"
#include "game/screens/digitcounter.h"
#include "game/screens/endlessboard.h"
#include "game/screens/endlesshud.h"
#include "game/screens/levelhud.h"
#include "game/screens/levelrecorder.h"
#include "game/screens/levelscenery.h"
#include "game/screens/replayplayback.h"
#include "game/screens/savedrun.h"
#include "game/screens/sessionview.h"
#include "game/screens/tutorialtexts.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace bsh {

class GameMedia;
class GameState;

class GameScreen : public tsv::Screen {
public:
    // How the level ended: played to its end (won or lost), or left with the run kept.
    enum class Ending { Played, Left };
    // Called once when the level has ended and its hand-over time has come.
    using EndHandler = std::function<void(const BoardResult&, Ending)>;

    static constexpr int64_t kPreviewHintDelayMs = 2000;

    // Played, shown as a preview of the level (no tutorial texts, no score,
    // no end), or the endless board (no objective, no clock, no end; the
    // player's board is kept when they leave and found again next time).
    enum class Showing { Play, Preview, Endless };
    // `media` null: the board plays without sounds and effects.
    GameScreen(GameState& state, std::string levelPath, GameMode mode, LevelSession::Player player, GameMedia* media,
               Showing showing = Showing::Play);
    // Saves the profiles: every level played, won, lost or left, is on disk.
    ~GameScreen() override;

    // The board's random source; before Start.
    void SetSeed(uint32_t seed) { m_seed = seed; }
    // The endless board: see EndlessBoard::SetKeeps. Before Start.
    void SetKeepsEndless(bool keep) { m_endlessBoard.SetKeeps(keep); }
    // Plays back `replay` (which must outlive the screen) instead of taking
    // input: Start sets the board up as the recording began, and each
    // PlayReplayFrame plays one of its frames. Before Start.
    void SetReplay(const Replay& replay) { m_playback = std::make_unique<ReplayPlayback>(replay); }
    // One recorded frame: the game clock where it was, the player's actions
    // and the board's frame.
    void PlayReplayFrame(const ReplayFrame& frame);
    // The level's result line once it has ended (the one its recording ends with).
    const std::string& ResultLine() const { return m_recorder.ResultLine(); }
    // The result line the level would have if it ended now, as a left level.
    std::string ResultLineNow() const;
    // Where the level's recording was kept once it ended, "" before or without one.
    const std::string& RecordingPath() const { return m_recorder.KeptPath(); }

    // Reads the HUD and the level; false (logged) when it is no level. An
    // empty level path resumes the saved run of the mode instead, or, for the
    // endless board, names the usual endless level.
    bool Start();
    void SetEndHandler(EndHandler handler) { m_onEnd = std::move(handler); }

    // Screen: the HUD's frame, then one frame of the level with the mouse.
    void Run() override;
    // One frame of play; the pointer in each of its states of the frame
    // (the view's pixels), as the input manager gives them.
    void Frame(const std::vector<tsv::InputManager::PointerState>& pointer, const ReplayFrame* replay = nullptr);
    // The keyboard: arrows move the cell cursor, Space or Return select and
    // swap, Escape, P and Pause (a gamepad's Start) pause.
    void HandleKey(int keyCode);

    void OpenPause();
    // The close button: the game's clock stops and a dialog asks.
    void AskToLeave();
    // Leaves the level as a confirmed close does: the run is saved.
    void Leave();
    // The game is closing (the window, a signal) with this level in play:
    // the run is saved as leaving saves it. False when there was nothing to
    // save or the save failed (logged).
    bool SaveOnClose();

    PlayField& Board() { return *m_board; }
    bool IsInputAllowed() const;
    bool IsNoMovesPending() const { return m_session && m_session->IsNoMovesPending(); }
    int SelectedX() const { return m_input.SelectedX(); }
    int SelectedY() const { return m_input.SelectedY(); }
    int CursorX() const { return m_input.CursorX(); }
    int CursorY() const { return m_input.CursorY(); }
    bool HasEnded() const { return m_ended; }
    const BoardResult& Result() const;
    const DigitCounter* Score() const { return m_hud.Score(); }
    bool IsEndless() const { return m_endless; }
    // The endless board's figures: those it was kept with, and this session's.
    EndlessTally Tally() const;
    // The tutorial text showing, "" for none.
    std::string ShownTutorial() const { return m_tutorials.Shown(); }
    // The large message showing, "" for none.
    const std::string& ShownMessage() const { return m_cues.Message().Key(); }
    int64_t LastHeartbeat() const { return m_hud.LastHeartbeat(); }
    // The circles around pieces a tutorial text talks about (they fade and expire).
    const std::vector<tsv::SceneNodePtr>& HintCircles() const { return m_tutorials.Circles(); }
    // The cells that glittered at the last hint (fewer than 10 still needing work).
    int LastGlitterCount() const { return m_cues.Hints().LastGlitterCount(); }
    // The board snapshot for the script's "dump" command, then "selected X Y"
    // (-1 -1 without a selection).
    std::string Dump() const;

private:
    // The board as the level begins: a recording's, the endless board, the
    // saved run or the level file.
    bool SetUpBoard();
    // Whether leaving or closing keeps this board and the player's bests.
    bool KeepsEndlessBoard() const { return m_endless && m_endlessBoard.Keeps(); }
    // The session's end: recorded, then handed over.
    void Finish(BoardResult& result);
    int64_t Now() const;
    void BuildHud();
    void EndLevel(Ending ending);

    GameState& m_state;
    GameMedia* m_media;
    std::string m_levelPath;
    GameMode m_mode;
    bool m_preview = false;
    bool m_endless = false;
    std::unique_ptr<ReplayPlayback> m_playback; // played back, not played
    LevelRecorder m_recorder;
    EndlessBoard m_endlessBoard;
    SavedRun m_savedRun;
    EndlessHud m_endlessHud;
    LevelSession::Player m_player;
    BoardInput m_input;
    LevelHud m_hud;
    std::unique_ptr<BoardView> m_view;
    PlayFieldPtr m_board;
    std::unique_ptr<LevelSession> m_session;
    LevelInfo m_level;
    LevelScenery m_scenery;
    TutorialTexts m_tutorials;
    SessionView m_cues;
    EndHandler m_onEnd;

    int64_t m_startTime = 0;
    bool m_leaving = false;
    bool m_ended = false;
    uint32_t m_seed = 1;
};

using GameScreenPtr = tsv::IntrusivePtr<GameScreen>;

} // namespace bsh
