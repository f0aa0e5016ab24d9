#include "game/screens/tutorialtexts.h"

#include "engine/gui/screenstack.h"
#include "game/board/levelsession.h"
#include "game/progress/gamestate.h"
#include "game/screens/boardinput.h"

#include <algorithm>

namespace bsh {

int64_t HintDelayFor(const GameState& state)
{
    tsv::IntrusivePtr<Profile> profile = state.CurrentProfile();
    int32_t tutorials = 0;
    if (profile) {
        for (int hint = 0; hint < HintRecord::kFlagCount; ++hint) {
            tutorials += profile->Awards().GetHintCounter(hint);
        }
    }
    return tutorials > 2 ? LevelSession::kHintDelayTutorial : LevelSession::kHintDelayQuiet;
}

ViewRect CellsRect(int x1, int y1, int x2, int y2)
{
    const float half = kCellSize * 0.5f;
    return {ColumnX(std::min(x1, x2)) - half, RowY(std::min(y1, y2)) - half, ColumnX(std::max(x1, x2)) + half,
            RowY(std::max(y1, y2)) + half};
}

ViewRect SquaresRect(const PlayField& board)
{
    int x1 = kBoardColumns, y1 = kBoardRows, x2 = -1, y2 = -1;
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            if (board.CellExists(x, y)) {
                x1 = std::min(x1, x);
                y1 = std::min(y1, y);
                x2 = std::max(x2, x);
                y2 = std::max(y2, y);
            }
        }
    }
    return x2 < 0 ? ViewRect{} : CellsRect(x1, y1, x2, y2);
}

HintText TextForHint(const HintRecord& about, size_t workLeft, const AwardBlock& awards)
{
    for (int hint = 0; hint < HintRecord::kFlagCount; ++hint) {
        if (about.flags[static_cast<size_t>(hint)] && awards.GetHintCounter(hint) > 0) {
            return {hint, true};
        }
    }
    if (workLeft == 1 && awards.GetHintCounter(HintIndex(HintRecord::Flag::SwapJewels)) <= 0 &&
        awards.GetHintCounter(HintIndex(HintRecord::Flag::OnePieceLeft)) > 0) {
        return {HintIndex(HintRecord::Flag::OnePieceLeft), false};
    }
    return {};
}

TutorialTexts::~TutorialTexts()
{
    if (m_box) {
        m_box->Dismiss();
    }
    for (const tsv::SceneNodePtr& node : m_circles) {
        node->Expire();
    }
}

void TutorialTexts::Begin(bool on)
{
    m_on = on;
    m_objectiveDue = on;
}

void TutorialTexts::ShowObjectiveText(const PlayField& board)
{
    if (!m_objectiveDue) {
        return;
    }
    m_objectiveDue = false;
    const ViewRect squares = SquaresRect(board);
    if (board.GetJewelsRequired() > 0) {
        ShowBeside(HintIndex(HintRecord::Flag::JewelsMode), squares, squares);
    }
    if (board.GetInitialCellHits() > 0) {
        ShowBeside(HintIndex(HintRecord::Flag::CellsMode), squares, squares);
    }
}

void TutorialTexts::ShowStartTexts(const PlayField& board, int64_t since, int64_t now)
{
    if (!m_on) {
        return;
    }
    for (const TutorialCue& cue : DueStartTutorials(board, since, !Shown().empty(), m_start)) {
        if (ShowBeside(cue.hint, CellsRect(cue.x, cue.y, cue.x, cue.y), SquaresRect(board))) {
            Circle(cue.x, cue.y, now);
        }
    }
}

void TutorialTexts::ShowHintText(const PlayField& board, int x1, int y1, int x2, int y2, const HintRecord& about,
                                 size_t workLeft)
{
    const tsv::IntrusivePtr<Profile> profile = m_state.CurrentProfile();
    if (!profile) {
        return;
    }
    const HintText text = TextForHint(about, workLeft, profile->Awards());
    if (text.hint < 0) {
        return;
    }
    if (text.besideMove) {
        ShowBeside(text.hint, CellsRect(x1, y1, x2, y2), SquaresRect(board));
    } else {
        Show(text.hint, kTopX, kTopY);
    }
}

std::string TutorialTexts::Shown() const
{
    return m_box && tsv::ScreenStack::Instance().Contains(m_box.Get()) ? m_box->GetKey() : std::string();
}

void TutorialTexts::CloseNow()
{
    if (m_box) {
        tsv::ScreenStack::Instance().Remove(m_box.Get());
    }
}

void TutorialTexts::DismissWhenClosable()
{
    if (m_box && m_box->IsClosable()) {
        m_box->Dismiss();
    }
}

bool TutorialTexts::Show(int hint, float x, float y)
{
    tsv::IntrusivePtr<Profile> profile = m_state.CurrentProfile();
    if (!m_on || !profile || !Shown().empty()) {
        return false;
    }
    AwardBlock& awards = profile->Awards();
    if (awards.GetHintCounter(hint) <= 0) {
        return false;
    }
    awards.SetHintCounter(hint, awards.GetHintCounter(hint) - 1);
    m_box = tsv::MakeIntrusive<HintBox>();
    m_box->Place(kWidth, HintKey(hint), x, y);
    tsv::ScreenStack::Instance().Push(tsv::ScreenPtr(m_box.Get()));
    return true;
}

bool TutorialTexts::ShowBeside(int hint, const ViewRect& about, const ViewRect& board)
{
    if (!Show(hint, 0, 0)) {
        return false;
    }
    m_box->PlaceBesideCells(kWidth, HintKey(hint), about, board);
    return true;
}

void TutorialTexts::Circle(int x, int y, int64_t now)
{
    tsv::SceneNodePtr circle = MakeMark("/texture/gui/hint-circle.png", kCircleSize, kCircleSize);
    PlaceMark(circle, x, y);
    circle->SetAlphaFade(true, now + kCircleFadeAfterMs, now + kCircleGoneAfterMs, 255, 0);
    circle->SetExpiry(now + kCircleGoneAfterMs);
    m_circles.push_back(circle);
}

} // namespace bsh
