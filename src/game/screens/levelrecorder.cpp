#include "game/screens/levelrecorder.h"

#include "engine/core/log.h"
#include "engine/core/sha256.h"
#include "engine/core/util/file/filestream.h"
#include "engine/core/util/file/recordio.h"
#include "game/screens/mainmenuscreen.h"

#include <algorithm>

namespace bsh {

namespace {

constexpr int64_t kMaxStepMs = 3'600'000;

} // namespace

void LevelRecorder::Begin(const GameState& state, const Start& start, const PlayField& board, int64_t now)
{
    auto replay = std::make_unique<Replay>();
    replay->game = MainMenuScreen::kVersion;
    replay->level = start.level;
    std::string bytes;
    tsv::ReadFileBytes(start.level, bytes);
    replay->levelSha256 = tsv::Sha256Hex(bytes);
    replay->mode = ModeName(start.endless ? GameMode::Endless : start.mode);
    replay->difficulty = DifficultyName(state.GetDifficulty());
    replay->relaxed = board.IsRelaxed();
    replay->bot = start.bot;
    replay->seed = start.seed;
    replay->randomState = board.RandomState();
    const tsv::IntrusivePtr<Profile> profile = state.CurrentProfile();
    replay->profile = profile != nullptr;
    replay->hints = profile ? profile->GetHints() : true;
    for (int hint = 0; profile && hint < kHintCount; ++hint) {
        replay->tutorials[static_cast<size_t>(hint)] = profile->Awards().GetHintCounter(hint);
    }
    replay->runScore = profile && IsValidMode(start.mode) ? profile->Record().GetScore(start.mode) : 0;
    replay->multiplier = state.GetScoreMultiplier();
    replay->carried = start.carried;
    replay->startMs = now;
    tsv::RecordWriter snapshot;
    board.SaveState(snapshot);
    replay->board = snapshot.Bytes();
    m_replay = std::move(replay);
    m_pending = {};
    m_lastMs = now;
}

void LevelRecorder::Action(const ReplayAction& action)
{
    if (m_replay) {
        m_pending.actions.push_back(action);
    }
}

void LevelRecorder::LookAtTutorial(bool shown, ReplayAction::Kind kind)
{
    if (m_tutorialShown && !shown) {
        Action({kind, 0, 0, false, {}});
    }
    m_tutorialShown = shown;
}

void LevelRecorder::Frame(bool running, int64_t now)
{
    if (!m_replay) {
        return;
    }
    m_pending.stepMs = static_cast<int32_t>(std::clamp<int64_t>(now - m_lastMs, 0, kMaxStepMs));
    m_pending.running = running;
    m_lastMs = now;
    m_replay->frames.push_back(std::move(m_pending));
    m_pending = {};
}

void LevelRecorder::Pointer(float x, float y, bool down)
{
    if (m_replay && !m_replay->frames.empty()) {
        m_replay->frames.back().actions.push_back({ReplayAction::Kind::Pointer, x, y, down, {}});
    }
}

void LevelRecorder::End(const std::string& resultLine)
{
    m_resultLine = resultLine;
    if (!m_replay) {
        return;
    }
    m_replay->result = resultLine;
    m_keptPath = ReplayShelf::Keep(*m_replay);
    m_replay.reset();
    if (!m_keptPath.empty()) {
        tsv::GetLog() << tsv::Hint << "The level's recording is kept: " << m_keptPath << tsv::EndL;
    }
}

} // namespace bsh
