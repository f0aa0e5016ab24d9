#include "game/screens/starttutorials.h"

#include "game/board/piece.h"

namespace bsh {

std::vector<TutorialCue> DueStartTutorials(const PlayField& board, int64_t since, bool textShowing,
                                           StartTutorials& done)
{
    std::vector<TutorialCue> due;
    if (!done.bonusDone && board.HasArtifact() && since >= kBonusTextFromMs && since <= kBonusTextUntilMs) {
        for (int x = 0; x < kBoardColumns; ++x) {
            for (int y = 0; y < kBoardRows; ++y) {
                if (board.TypeAt(x, y) == PieceType::Artifact) {
                    due.push_back({HintIndex(HintRecord::Flag::BonusLevel), x, y});
                    done.bonusDone = true;
                }
            }
        }
    }
    if (!done.pieceDone && since >= kPieceTextAfterMs && !textShowing && due.empty()) {
        for (int x = 0; x < kBoardColumns && !done.pieceDone; ++x) {
            for (int y = 0; y < kBoardRows && !done.pieceDone; ++y) {
                const PieceType type = board.TypeAt(x, y);
                using Flag = HintRecord::Flag;
                const int hint = type == PieceType::Key        ? HintIndex(Flag::KeyLock)
                                 : type == PieceType::Bomb     ? HintIndex(Flag::Bomb)
                                 : IsCannon(type)              ? HintIndex(Flag::Cannon)
                                 : type == PieceType::Dynamite ? HintIndex(Flag::Dynamite)
                                                               : -1;
                if (hint >= 0) {
                    due.push_back({hint, x, y});
                    done.pieceDone = true;
                }
            }
        }
        done.pieceDone = true;
    }
    return due;
}

} // namespace bsh
