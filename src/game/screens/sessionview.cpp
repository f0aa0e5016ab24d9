#include "game/screens/sessionview.h"

#include "engine/runtime/application.h"
#include "engine/sound/soundmanager.h"
#include "game/screens/boardview.h"
#include "game/screens/gamemedia.h"

namespace bsh {

namespace {

// The effects sit above the pieces and the marks.
constexpr int32_t kHoverEffectLayer = kBoardLayer + 2;

int64_t Now() { return tsv::Application::Instance().GetTimer().GetTime(); }

} // namespace

SessionView::SessionView(GameMedia* media, BoardInput& input, TutorialTexts& tutorials, FinishedHandler finished)
    : m_media(media), m_input(input), m_tutorials(tutorials), m_finished(std::move(finished))
{
}

void SessionView::Begin(const PlayField& board, bool arrowsShown)
{
    m_board = &board;
    m_arrowsShown = arrowsShown;
    m_hints.CreateArrows();
}

void SessionView::FireEffect(GameEffect effect, int x, int y)
{
    if (m_media) {
        m_media->Effects().FireEffect(effect, {ColumnX(x), RowY(y), 0}, kHoverEffectLayer);
    }
}

void SessionView::OnTimeUp()
{
    m_message.Show("gameOver", LevelSession::kGameOverDelayMs, Now());
    if (m_media) {
        tsv::SoundManager::Instance().Play("/sound/gameover.wav");
    }
}

void SessionView::OnLevelComplete()
{
    m_message.Show("levelComplete", LevelSession::kCompleteDelayMs + 1000, Now());
    if (m_media) {
        m_media->Effects().FireGuiEffect(GuiEffect::LevelCompleteIcon, {0, 0, 0}, kHoverEffectLayer);
    }
}

void SessionView::OnInputStopped() { m_input.Drop(); }

void SessionView::OnHint(int x1, int y1, int x2, int y2, const HintRecord& about,
                         const std::vector<std::pair<int, int>>& work)
{
    // The last few cells that still need work glitter.
    m_hints.Glitter(work, [this](int x, int y) { FireEffect(GameEffect::BlockGlitter, x, y); });
    if (x1 < 0) {
        return;
    }
    m_tutorials.ShowHintText(*m_board, x1, y1, x2, y2, about, work.size());
    if (m_arrowsShown) {
        m_hints.ShowArrows(x1, y1, x2, y2, Now());
    }
}

void SessionView::OnNoMovesNotice()
{
    m_message.Show("noMoves", LevelSession::kNoMovesReshuffleMs - LevelSession::kNoMovesNoticeMs, Now());
}

void SessionView::OnMove(int, int, int, int) { m_hints.HideArrows(); }

void SessionView::OnFinished(BoardResult& result)
{
    if (m_finished) {
        m_finished(result);
    }
}

} // namespace bsh
