#include "game/screens/boardhints.h"

#include "game/board/boardgeometry.h"
#include "game/screens/boardinput.h"

namespace bsh {

namespace {

constexpr float kPi = 3.14159265358979f;

} // namespace

BoardHints::~BoardHints()
{
    if (m_arrows) {
        m_arrows->Expire();
    }
}

void BoardHints::CreateArrows() { m_arrows = MakeMark("/texture/gui/hint-arrows.png", 2 * kCellSize, kCellSize); }

void BoardHints::Glitter(const std::vector<std::pair<int, int>>& work, const std::function<void(int, int)>& glitter)
{
    m_lastGlitter = 0;
    if (static_cast<int>(work.size()) < kGlitterBelow) {
        for (const auto& [x, y] : work) {
            glitter(x, y);
            ++m_lastGlitter;
        }
    }
}

void BoardHints::ShowArrows(int x1, int y1, int x2, int y2, int64_t now)
{
    if (!m_arrows) {
        return;
    }
    const float cx = (ColumnX(x1) + ColumnX(x2)) * 0.5f;
    const float cy = (RowY(y1) + RowY(y2)) * 0.5f;
    m_arrows->SetRotation(x1 == x2 ? kPi * 0.5f : 0.0f, tsv::Transform::Later);
    m_arrows->SetPosition({cx, cy, 0}, tsv::Transform::Now);
    m_arrows->SetVisible(true, tsv::Scope::Subtree);
    m_arrows->SetAlphaFade(true, now, now + kArrowsMs, 240, 0);
    m_arrowsUntil = now + kArrowsMs;
}

void BoardHints::HideArrows()
{
    if (m_arrows) {
        m_arrows->SetVisible(false, tsv::Scope::Subtree);
    }
}

void BoardHints::Update(int64_t now, bool selected)
{
    if (m_arrows && m_arrows->IsVisible() && (now >= m_arrowsUntil || selected)) {
        m_arrows->SetVisible(false, tsv::Scope::Subtree);
    }
}

} // namespace bsh
