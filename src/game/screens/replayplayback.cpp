#include "game/screens/replayplayback.h"

#include "engine/core/log.h"
#include "engine/core/util/file/recordio.h"
#include "engine/platform/keynames.h"
#include "engine/runtime/application.h"

#include <algorithm>

namespace bsh {

bool ReplayPlayback::SetUpBoard(PlayField& board) const
{
    tsv::RecordReader in(m_replay.board);
    if (!board.LoadState(in)) {
        tsv::GetLog() << tsv::Error << "The recording's board cannot be set up" << tsv::EndL;
        return false;
    }
    board.Random().Seed(m_replay.randomState);
    return true;
}

std::vector<tsv::InputManager::PointerState> ReplayPlayback::Play(const ReplayFrame& frame, const Hands& hands)
{
    // The game clock as it was: everything the board and its session time
    // reads it.
    tsv::Timer& clock = tsv::Application::Instance().GetTimer();
    m_clockMs += frame.stepMs;
    clock.Set(m_clockMs);
    clock.SetRunning(frame.running);
    std::vector<tsv::InputManager::PointerState> pointer;
    for (const ReplayAction& action : frame.actions) {
        switch (action.kind) {
        case ReplayAction::Kind::Key:
            hands.key(tsv::KeyCodeFromName(action.key));
            break;
        case ReplayAction::Kind::Leave:
            hands.leave();
            break;
        case ReplayAction::Kind::TutorialClosed:
            hands.closeTutorial();
            break;
        case ReplayAction::Kind::Pointer:
            pointer.push_back({action.x, action.y, action.down});
            break;
        case ReplayAction::Kind::TutorialClosedByBot:
            break; // within the frame
        }
    }
    return pointer;
}

bool ReplayPlayback::BotClosedTutorial(const ReplayFrame& frame)
{
    return std::any_of(frame.actions.begin(), frame.actions.end(), [](const ReplayAction& action) {
        return action.kind == ReplayAction::Kind::TutorialClosedByBot;
    });
}

} // namespace bsh
