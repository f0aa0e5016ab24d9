#pragma once
// The game-wide state: the mode and level in play, the statistics of the level,
// the profiles and highscore tables, the arcade sets, the saved unfinished run,
// and the rules that turn a finished level into progress.

#include "engine/core/accesspoint.h"
#include "engine/core/intrusiveptr.h"
#include "engine/core/util/file/recordio.h"
#include "game/board/boardevents.h"
#include "game/progress/highscoretable.h"
#include "game/progress/profile.h"
#include "game/progress/playerextras.h"
#include "game/progress/profilemanager.h"
#include "game/progress/progression.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace bsh {

// Counters of one mode's statistics block. The time counters are 64-bit values
// stored as two counters, low half first.
enum class StatCounter : int32_t {
    Jewels = 0,
    Blocks = 1,
    Cells = 2,
    Explosions = 3,
    Cannons = 4,
    Locks = 5,
    MaximumMatch = 6,
    TimePlayed = 8, // seconds, 8 and 9
    TimeLeft = 10,  // seconds, 10 and 11
};
inline constexpr int kStatCount = 12;
// The one place a counter and its index in a statistics block meet.
inline constexpr size_t StatIndex(StatCounter counter) { return static_cast<size_t>(counter); }
inline constexpr StatCounter StatAt(size_t index) { return static_cast<StatCounter>(index); }
inline constexpr int kArcadeSetCount = 4;
inline constexpr int32_t kHighscoreCapacity = 10;
inline constexpr int32_t kGeneratedFirstScore = 10000;
inline constexpr int32_t kMaxScoreMultiplier = 10;

// What one AddScore did, for the board's score popup and the score display.
struct ScoreEvent {
    int32_t points = 0;     // after the multiplier
    float x = 0.0f;         // world position of the popup
    float y = 0.0f;
    int32_t multiplier = 0; // the multiplier at the time; 2..10 shows its mark
    bool popup = false;     // false for the positionless (2000, 2000) calls
    int32_t runScore = 0;   // the run's score afterwards
};

// The result of RecordLevelResult, held by the level-complete screen.
struct LevelOutcome {
    int32_t newAwardIndex = -1; // first award granted by this level, -1 none
    bool fast = false;          // won with at most half of the time used
};

enum class NextScreen {
    Treasury,
    Highscore,
    MainMenu,
    QuestMap,
    ArcadeSelection,
};

// Where the level-complete screen leads, and what was done on the way.
struct NextScreenDecision {
    NextScreen screen = NextScreen::MainMenu;
    // Where the highscore screen leads when it closes: the quest map for
    // GameMode::Quest, the arcade selection for GameMode::Arcade, else the menu.
    GameMode highscoreReturn = GameMode::None;
    // For the map: the level to show as completed, and how.
    std::string completedLevel;
    bool completedFast = false;
};

// Where the game-wide state finds its data; tests point these at scratch files.
struct GameStatePaths {
    std::string questMap = "data/level/map.xml";
    std::string arcadeSetPattern = "/level/arcade/set%d.xml"; // %d = 1..4
};

// The file name of a player's unfinished run: `word` ("quest", "arcade",
// "endless"), "-" and the name's bytes in hex, or, when that would be longer
// than GameState::kMaxSavedGameNameBytes, "-N" and a 64-bit digest of the name.
std::string SavedRunFileName(const std::string& word, const std::string& player);

class GameState : public tsv::AccessPoint<GameState> {
public:
    // Hooks the board fills. The board snapshot follows the statistics in a
    // saved game: the writer appends the board's state, the reader consumes
    // exactly what the writer wrote. Without hooks a saved game ends after
    // the statistics.
    using BoardWriter = std::function<void(tsv::RecordWriter&)>;
    using BoardReader = std::function<bool(tsv::RecordReader&)>;
    // Called for every AddScore that added points while a mode is current.
    using ScoreListener = std::function<void(const ScoreEvent&)>;

    // The one the start-up builds (see GameParts) and the screens reach.
    static constexpr const char* kPartName = "the game state";

    // Loads profiles, highscores (generating empty tables) and the arcade sets
    // from the storage folder of the Application and the given data paths.
    explicit GameState(GameStatePaths paths = {});
    // Saves the profiles and the highscores.
    ~GameState();
    GameState(const GameState&) = delete;
    GameState& operator=(const GameState&) = delete;

    ProfileManager& Profiles() { return *m_profiles; }
    const GameStatePaths& GetPaths() const { return m_paths; }
    HighscoreTable& Highscores() { return *m_highscores; }
    PlayerExtras& Extras() { return m_extras; }
    tsv::IntrusivePtr<Profile> CurrentProfile() const { return m_profiles->Current(); }
    const std::vector<std::string>& ArcadeSet(int set) const { return m_arcadeSets[static_cast<size_t>(set)]; }

    // A run on the rules alone keeps the player's files as they are.
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    // The difficulty a level is played at when no profile is current.
    void SetFallbackDifficulty(Difficulty difficulty) { m_fallbackDifficulty = difficulty; }
    // The current profile's difficulty, or the fallback without a profile.
    Difficulty GetDifficulty() const;

    // The clock: timed levels, or relaxed ones whose clock never runs out.
    // The current player's setting (kept in the extras file) unless a run
    // overrides it (--clock); timed without a player.
    bool IsClockRelaxed() const;
    void SetClockRelaxed(bool relaxed);
    enum class ClockOverride { None, Timed, Relaxed };
    void SetClockOverride(ClockOverride clock) { m_clockOverride = clock; }
    // Whether the level prepared last is played relaxed (fixed when it is prepared).
    bool IsLevelRelaxed() const { return m_levelRelaxed; }

    GameMode GetMode() const { return m_mode; }
    void SetMode(GameMode mode) { m_mode = mode; }
    const std::string& GetLevelPath() const { return m_levelPath; }
    bool IsWon() const { return m_won; }
    void SetWon(bool won) { m_won = won; }
    int32_t GetTimeUsed() const { return m_timeUsed; }
    void SetTimeUsed(int32_t percent) { m_timeUsed = percent; }
    const std::string& GetAwardKey() const { return m_awardKey; }
    void SetAwardKey(const std::string& key) { m_awardKey = key; }

    int32_t GetScoreMultiplier() const { return m_scoreMultiplier; }
    void SetScoreMultiplier(int32_t multiplier) { m_scoreMultiplier = multiplier; }
    // After a clearing pass: up by one below 10, back to 0 at 10.
    void RaiseScoreMultiplier();

    int32_t GetStat(GameMode mode, StatCounter counter) const;
    void SetStat(GameMode mode, StatCounter counter, int32_t value);
    int64_t GetStat64(GameMode mode, StatCounter counter) const;
    void SetStat64(GameMode mode, StatCounter counter, int64_t value);
    // Adds to a counter of the current mode; nothing while no mode is current.
    void AddStat(StatCounter counter, int32_t delta);

    // The state part of starting a level: mode, the arcade's fixed difficulty,
    // level path, the clock, and a clean award key and won flag. An empty path means the
    // saved game of the mode is to be resumed.
    void PrepareLevel(const std::string& levelPath, GameMode mode);

    // Adds points (times the multiplier when it is not 0) to the current run,
    // never below 0; nothing while no mode is current. Positions at or beyond
    // 2000 add without a popup.
    void AddScore(int32_t points, float x = kNoPopupPosition, float y = kNoPopupPosition);
    void SetScoreListener(ScoreListener listener) { m_scoreListener = std::move(listener); }

    void ResetLevelStats();
    // Ends the run of a mode for the current profile, then ResetLevelStats.
    void ResetRun(GameMode mode);
    // The time bonus of a won level, from the seconds left; none when relaxed.
    int32_t LevelScore() const;
    // The arcade rating 2..6 of the level just played, from the time used.
    int32_t Rating() const;
    // True when every level of the quest map is completed at the current difficulty.
    bool IsQuestComplete() const;

    // Turns the level just played into progress and awards; run once when the
    // level-complete screen opens.
    LevelOutcome RecordLevelResult();
    // The decisions of the level-complete screen's close: enters the run into
    // the highscore table where the rules say so, ends a lost run, and names
    // the screen that follows.
    NextScreenDecision DecideNextScreen(const LevelOutcome& outcome);
    // The player declined to resume the saved run of `mode`: the run is
    // offered to the highscore table and the saved game deleted. Leads to the
    // highscore screen when the run made the table (which then returns to
    // the mode's own screen), else, the run cleared, to the quest map or the
    // arcade selection.
    NextScreenDecision DeclineResume(GameMode mode);

    // The unfinished run of a mode, for the current profile: "quest-" or
    // "arcade-" and the name's bytes in hex, or, when that name would be
    // longer than kMaxSavedGameNameBytes, "-N" and a 64-bit digest of the name.
    static constexpr size_t kMaxSavedGameNameBytes = 200;
    std::string SavedGamePath(GameMode mode) const;
    bool SavedGameExists(GameMode mode) const;
    void DeleteSavedGame(GameMode mode);
    // A saved run that cannot be resumed (its level no longer loads) is moved
    // aside as damaged, never deleted.
    void SetAsideSavedGame(GameMode mode);
    bool SaveGame();
    // Reads the saved game of the current mode. The file stays until the
    // resumed level ends (the game deletes it then) or a newer save replaces
    // it. A saved game that cannot be read whole is moved aside.
    bool LoadGame();
    void SetBoardSnapshotHooks(BoardWriter writer, BoardReader reader);

private:
    void Grant(int award, const tsv::IntrusivePtr<Profile>& profile, LevelOutcome& outcome) const;
    void LoadArcadeSets();

    GameStatePaths m_paths;
    bool m_readOnly = false;
    Difficulty m_fallbackDifficulty = Difficulty::Normal;
    int32_t m_scoreMultiplier = 0;
    GameMode m_mode = GameMode::None;
    std::string m_levelPath;
    bool m_won = false;
    bool m_levelRelaxed = false;
    ClockOverride m_clockOverride = ClockOverride::None;
    PlayerExtras m_extras;
    int32_t m_timeUsed = 0; // percent of the time limit
    std::array<std::array<int32_t, kStatCount>, kModeCount> m_stats{};
    std::string m_awardKey;
    std::array<std::vector<std::string>, kArcadeSetCount> m_arcadeSets;
    tsv::IntrusivePtr<ProfileManager> m_profiles;
    tsv::IntrusivePtr<HighscoreTable> m_highscores;

    ScoreListener m_scoreListener;
    BoardWriter m_boardWriter;
    BoardReader m_boardReader;
};

} // namespace bsh
