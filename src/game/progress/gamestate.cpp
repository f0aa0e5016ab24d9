#include "game/progress/gamestate.h"

#include "engine/core/log.h"
#include "engine/core/util/file/damagedfile.h"
#include "engine/core/util/file/filestream.h"
#include "engine/core/util/file/resourcepath.h"
#include "engine/core/util/xml/xmlloader.h"
#include "game/progress/levellist.h"
#include "engine/core/storage.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace bsh {

using tsv::EndL;
using tsv::GetLog;
using tsv::IntrusivePtr;

namespace {

// A win is fast when at most this percentage of the time limit was used.
constexpr int32_t kFastTimeUsed = 50;
constexpr int32_t kTimeBonusPerSecond = 50;

int32_t ClampToInt32(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

} // namespace

GameState::GameState(GameStatePaths paths) : m_paths(std::move(paths))
{
    m_profiles = new ProfileManager();
    m_profiles->Load();
    m_highscores = new HighscoreTable(kHighscoreCapacity);
    m_extras.Load();
    for (GameMode mode : kKeptModes) {
        if (m_highscores->CountOf(mode) == 0) {
            m_highscores->Fill(mode, kGeneratedFirstScore);
        }
    }
    LoadArcadeSets();
    ResetLevelStats();
}

GameState::~GameState()
{
    if (!m_readOnly) {
        m_profiles->Save();
        m_highscores->Save();
        std::vector<std::string> names;
        for (const auto& profile : m_profiles->Profiles()) {
            names.push_back(profile->GetName());
        }
        if (m_extras.KeepOnly(names)) {
            m_extras.Save(); // a deleted player's extras go with the player
        }
    }
}

Difficulty GameState::GetDifficulty() const
{
    IntrusivePtr<Profile> profile = CurrentProfile();
    return profile ? profile->GetDifficulty() : m_fallbackDifficulty;
}

void GameState::LoadArcadeSets()
{
    for (int set = 1; set <= kArcadeSetCount; ++set) {
        char path[512];
        std::snprintf(path, sizeof path, m_paths.arcadeSetPattern.c_str(), set);
        std::vector<std::string> names;
        LoadLevelList(path, names);
        // A set names each level by the part between "/level" and ".xml".
        auto& levels = m_arcadeSets[static_cast<size_t>(set - 1)];
        levels.clear();
        for (const std::string& name : names) {
            levels.push_back("/level" + name + ".xml");
        }
    }
}

void GameState::RaiseScoreMultiplier()
{
    m_scoreMultiplier = m_scoreMultiplier < kMaxScoreMultiplier ? m_scoreMultiplier + 1 : 0;
}

int32_t GameState::GetStat(GameMode mode, StatCounter counter) const
{
    const size_t index = StatIndex(counter);
    if (!IsValidMode(mode) || index >= kStatCount) {
        return 0;
    }
    return m_stats[ModeIndex(mode)][index];
}

void GameState::SetStat(GameMode mode, StatCounter counter, int32_t value)
{
    const size_t index = StatIndex(counter);
    if (IsValidMode(mode) && index < kStatCount) {
        m_stats[ModeIndex(mode)][index] = value;
    }
}

int64_t GameState::GetStat64(GameMode mode, StatCounter counter) const
{
    auto low = static_cast<uint32_t>(GetStat(mode, counter));
    auto high = static_cast<uint32_t>(GetStat(mode, StatAt(StatIndex(counter) + 1)));
    return static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | low);
}

void GameState::SetStat64(GameMode mode, StatCounter counter, int64_t value)
{
    auto bits = static_cast<uint64_t>(value);
    SetStat(mode, counter, static_cast<int32_t>(static_cast<uint32_t>(bits)));
    SetStat(mode, StatAt(StatIndex(counter) + 1), static_cast<int32_t>(static_cast<uint32_t>(bits >> 32)));
}

void GameState::AddStat(StatCounter counter, int32_t delta)
{
    if (IsValidMode(m_mode)) {
        SetStat(m_mode, counter, GetStat(m_mode, counter) + delta);
    }
}

void GameState::PrepareLevel(const std::string& levelPath, GameMode mode)
{
    m_mode = mode;
    // Arcade levels are always played at Normal.
    IntrusivePtr<Profile> profile = CurrentProfile();
    if (mode == GameMode::Arcade && profile) {
        profile->SetDifficulty(Difficulty::Normal);
    }
    m_levelPath = levelPath;
    m_awardKey.clear();
    m_won = false;
    m_levelRelaxed = IsClockRelaxed();
}

bool GameState::IsClockRelaxed() const
{
    if (m_clockOverride != ClockOverride::None) {
        return m_clockOverride == ClockOverride::Relaxed;
    }
    IntrusivePtr<Profile> profile = CurrentProfile();
    return profile && m_extras.Get(profile->GetName()).relaxedClock;
}

void GameState::SetClockRelaxed(bool relaxed)
{
    IntrusivePtr<Profile> profile = CurrentProfile();
    if (!profile) {
        return;
    }
    PlayerExtra extra = m_extras.Get(profile->GetName());
    if (extra.relaxedClock == relaxed) {
        return;
    }
    extra.relaxedClock = relaxed;
    m_extras.Set(profile->GetName(), extra);
    if (!m_readOnly) {
        m_extras.Save();
    }
}

void GameState::AddScore(int32_t points, float x, float y)
{
    IntrusivePtr<Profile> profile = CurrentProfile();
    if (!IsValidMode(m_mode) || !profile) {
        return;
    }
    int64_t added = m_scoreMultiplier != 0 ? static_cast<int64_t>(points) * m_scoreMultiplier : points;
    ProgressRecord& record = profile->Record();
    int64_t score = std::max<int64_t>(0, record.GetScore(m_mode) + added);
    record.SetScore(m_mode, ClampToInt32(score));
    if (m_scoreListener) {
        ScoreEvent event;
        event.points = ClampToInt32(added);
        event.x = x;
        event.y = y;
        event.multiplier = m_scoreMultiplier;
        event.popup = x < kNoPopupPosition && y < kNoPopupPosition;
        event.runScore = record.GetScore(m_mode);
        m_scoreListener(event);
    }
}

void GameState::ResetLevelStats()
{
    for (auto& block : m_stats) {
        block.fill(0);
    }
    m_awardKey.clear();
    m_timeUsed = 0;
    m_scoreMultiplier = 0;
}

void GameState::ResetRun(GameMode mode)
{
    if (IntrusivePtr<Profile> profile = CurrentProfile()) {
        profile->Record().ClearMode(mode);
    }
    ResetLevelStats();
}

int32_t GameState::LevelScore() const
{
    if (!IsValidMode(m_mode) || m_levelRelaxed) {
        return 0; // a relaxed level earns no time bonus
    }
    int64_t base = static_cast<int64_t>(GetStat(m_mode, StatCounter::TimeLeft)) * kTimeBonusPerSecond;
    // Integer divisions round toward zero, also for a negative time left.
    if (m_mode == GameMode::Arcade) {
        base /= 2;
    } else if (IntrusivePtr<Profile> profile = CurrentProfile()) {
        switch (profile->GetDifficulty()) {
        case Difficulty::Easy:
            base /= 8;
            break;
        case Difficulty::Normal:
            base /= 2;
            break;
        case Difficulty::Hard:
            base *= 2;
            break;
        default:
            break;
        }
    }
    return ClampToInt32(base);
}

int32_t GameState::Rating() const
{
    if (m_timeUsed > 75) {
        return 2;
    }
    if (m_timeUsed > 50) {
        return 3;
    }
    if (m_timeUsed > 33) {
        return 4;
    }
    if (m_timeUsed > 25) {
        return 5;
    }
    return 6;
}

bool GameState::IsQuestComplete() const
{
    IntrusivePtr<tsv::XMLElement> root = tsv::LoadXMLFile(m_paths.questMap);
    if (!root || root->Children().empty()) {
        return true;
    }
    IntrusivePtr<Profile> profile = CurrentProfile();
    const IntrusivePtr<tsv::XMLElement>& map = root->Children().front().second;
    for (const auto& [name, level] : map->Children()) {
        if (name != "level") {
            continue;
        }
        IntrusivePtr<tsv::XMLElement> source = level->FindChild("source");
        std::string path = source ? source->GetText() : std::string();
        LevelState state = profile ? profile->Record().GetState(GameMode::Quest, path) : LevelState::Locked;
        if (state != LevelState::Completed && state != LevelState::CompletedFast) {
            return false;
        }
    }
    return true;
}

void GameState::Grant(int award, const IntrusivePtr<Profile>& profile, LevelOutcome& outcome) const
{
    AwardBlock& awards = profile->Awards();
    if (award < 0 || awards.IsEarned(award)) {
        return;
    }
    awards.SetPending(award);
    if (outcome.newAwardIndex == -1) {
        outcome.newAwardIndex = award;
    }
}

LevelOutcome GameState::RecordLevelResult()
{
    LevelOutcome outcome;
    IntrusivePtr<Profile> profile = CurrentProfile();
    const GameMode mode = m_mode;
    if (!profile || !IsValidMode(mode) || !m_won) {
        return outcome;
    }
    ProgressRecord& record = profile->Record();
    ProgressRecord& normal = profile->Record(Difficulty::Normal);
    const std::string& level = m_levelPath;

    record.SetScore(mode, ClampToInt32(static_cast<int64_t>(record.GetScore(mode)) + LevelScore()));
    // A relaxed win is never fast: no bonus level opens.
    outcome.fast = !m_levelRelaxed && m_timeUsed <= kFastTimeUsed;
    record.SetState(mode, level, outcome.fast ? LevelState::CompletedFast : LevelState::Completed);
    if (mode == GameMode::Quest) {
        // Every quest level won at any difficulty becomes playable in arcade mode.
        if (normal.GetState(GameMode::Arcade, level) == LevelState::Locked) {
            normal.SetState(GameMode::Arcade, level, LevelState::Open);
        }
    } else if (record.GetState(GameMode::Arcade, level) != LevelState::Locked && !m_levelRelaxed) {
        // A relaxed arcade win is a win without a rating.
        if (LevelEntry* entry = normal.GetEntry(GameMode::Arcade, level)) {
            entry->best = std::max(entry->best, Rating());
        }
    }

    Grant(AwardIndex(m_awardKey), profile, outcome);
    if (IsQuestComplete()) {
        Grant(AwardSlot(Award::TotalComplete), profile, outcome);
    }
    for (int set = 0; set < kArcadeSetCount; ++set) {
        bool everyLevelKnown = true;
        bool complete = true;
        bool best = true;
        for (const std::string& path : m_arcadeSets[static_cast<size_t>(set)]) {
            const LevelEntry* entry = normal.GetEntry(GameMode::Arcade, path);
            if (!entry) {
                everyLevelKnown = false;
                break;
            }
            complete = complete && entry->best >= 2;
            best = best && entry->best == 6;
        }
        if (!everyLevelKnown) {
            continue;
        }
        if (complete) {
            Grant(AwardSlot(Award::ArcadeComplete1) + set, profile, outcome);
        }
        if (best) {
            Grant(AwardSlot(Award::ArcadeBest1) + set, profile, outcome);
        }
    }
    const AwardBlock& awards = profile->Awards();
    bool allBest = true;
    for (int set = 0; set < kArcadeSetCount; ++set) {
        int award = AwardSlot(Award::ArcadeBest1) + set;
        allBest = allBest && (awards.IsEarned(award) || awards.IsPending(award));
    }
    if (allBest) {
        Grant(AwardSlot(Award::ArcadeCompleteAll), profile, outcome);
    }
    return outcome;
}

NextScreenDecision GameState::DecideNextScreen(const LevelOutcome& outcome)
{
    NextScreenDecision decision;
    IntrusivePtr<Profile> profile = CurrentProfile();
    const GameMode mode = m_mode;
    if (outcome.newAwardIndex != -1) {
        decision.screen = NextScreen::Treasury;
        return decision;
    }
    if (!profile || !IsValidMode(mode)) {
        decision.screen = NextScreen::MainMenu;
        return decision;
    }
    IntrusivePtr<HighscoreEntry> entry(new HighscoreEntry(profile->GetName(), profile->Record().GetScore(mode)));
    if (!m_won) {
        // A lost run ends: offered to its table, then cleared.
        decision.screen = m_highscores->AddEntry(mode, entry) ? NextScreen::Highscore : NextScreen::MainMenu;
        ResetRun(mode);
    } else if (mode == GameMode::Quest) {
        decision.screen = NextScreen::QuestMap;
        decision.completedLevel = m_levelPath;
        decision.completedFast = outcome.fast;
    } else if (m_levelRelaxed) {
        decision.screen = NextScreen::ArcadeSelection; // no table for a relaxed run
    } else {
        decision.screen =
            m_highscores->AddEntry(GameMode::Arcade, entry) ? NextScreen::Highscore : NextScreen::ArcadeSelection;
    }
    return decision;
}

NextScreenDecision GameState::DeclineResume(GameMode mode)
{
    NextScreenDecision decision;
    decision.screen = mode == GameMode::Arcade ? NextScreen::ArcadeSelection : NextScreen::QuestMap;
    DeleteSavedGame(mode);
    IntrusivePtr<Profile> profile = CurrentProfile();
    if (!profile || !IsValidMode(mode)) {
        return decision;
    }
    IntrusivePtr<HighscoreEntry> entry(new HighscoreEntry(profile->GetName(), profile->Record().GetScore(mode)));
    if (m_highscores->AddEntry(mode, entry)) {
        // The highscore screen shows the entry and clears the run itself.
        decision.screen = NextScreen::Highscore;
        decision.highscoreReturn = mode;
    } else {
        profile->Record().ClearMode(mode);
    }
    return decision;
}

std::string SavedRunFileName(const std::string& word, const std::string& player)
{
    // Each character as a signed byte in "%02X": 0xE9 becomes FFFFFFE9.
    std::string hex;
    for (char c : player) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%02X",
                      static_cast<unsigned>(static_cast<int>(static_cast<signed char>(c))));
        hex += digits;
    }
    std::string name = word + "-" + hex + ".dat";
    if (name.size() > GameState::kMaxSavedGameNameBytes) {
        // A long name in a double-byte script would pass the file system's
        // 255 bytes: a short digest of the name stands in (stable, so the
        // same player finds the same run again). Short names keep the form above.
        uint64_t digest = 14695981039346656037ULL; // FNV-1a
        for (char c : player) {
            digest = (digest ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
        }
        char digits[32];
        std::snprintf(digits, sizeof digits, "%016llX", static_cast<unsigned long long>(digest));
        name = word + "-N" + digits + ".dat";
    }
    return name;
}

std::string GameState::SavedGamePath(GameMode mode) const
{
    IntrusivePtr<Profile> profile = CurrentProfile();
    if (!profile || !IsValidMode(mode)) {
        return {};
    }
    return tsv::GetStoragePath() + SavedRunFileName(ModeWord(mode), profile->GetName());
}

bool GameState::SavedGameExists(GameMode mode) const
{
    std::string path = SavedGamePath(mode);
    if (path.empty()) {
        return false;
    }
    tsv::FileStream file;
    return file.Open(tsv::PlayerFileSource(path), tsv::FileMode::Read);
}

void GameState::DeleteSavedGame(GameMode mode)
{
    if (SavedGameExists(mode)) {
        std::remove(tsv::ResolveResourcePath(SavedGamePath(mode)).c_str());
    }
}

bool GameState::SaveGame()
{
    std::string path = SavedGamePath(m_mode);
    if (path.empty()) {
        GetLog() << tsv::Error << "Cannot save the game: no profile or no mode is current." << EndL;
        return false;
    }
    tsv::RecordWriter out;
    out.WriteString(m_levelPath);
    out.WriteString(m_awardKey);
    for (const auto& block : m_stats) {
        for (int32_t counter : block) {
            out.WriteInt32(counter);
        }
    }
    if (m_boardWriter) {
        m_boardWriter(out);
    }
    return tsv::WriteFileAtomically(path, out.Bytes());
}

bool GameState::LoadGame()
{
    std::string path = SavedGamePath(m_mode);
    std::string bytes;
    // Through the player files' reader: an oversized run is moved aside, one
    // that cannot be read is left be.
    if (path.empty() || tsv::ReadPlayerFile(path, bytes) != tsv::EPlayerFileRead::Read) {
        GetLog() << tsv::Error << "Failed to open file \"" << path << "\"." << EndL;
        return false;
    }
    tsv::RecordReader in(std::move(bytes));
    in.ReadString(m_levelPath);
    in.ReadString(m_awardKey);
    for (auto& block : m_stats) {
        for (int32_t& counter : block) {
            counter = in.ReadInt32();
        }
    }
    bool whole = !in.IsShort();
    if (m_boardReader) {
        whole = m_boardReader(in) && whole;
    }
    if (!whole || in.IsShort()) {
        GetLog() << tsv::Error << path << ": the saved game is damaged" << EndL;
        tsv::KeepDamagedFile(tsv::ResolveResourcePath(path));
        return false;
    }
    // The file stays until the resumed level has ended or a newer save has
    // replaced it: a closed window, a kill or a full disk never lose the run.
    return true;
}

void GameState::SetAsideSavedGame(GameMode mode)
{
    if (SavedGameExists(mode)) {
        tsv::KeepDamagedFile(tsv::ResolveResourcePath(SavedGamePath(mode)));
    }
}

void GameState::SetBoardSnapshotHooks(BoardWriter writer, BoardReader reader)
{
    m_boardWriter = std::move(writer);
    m_boardReader = std::move(reader);
}

} // namespace bsh
