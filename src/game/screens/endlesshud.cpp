#include "game/screens/endlesshud.h"

#include "engine/core/textformat.h"
#include "engine/runtime/application.h"
#include "game/screens/levelhud.h"

namespace bsh {

void EndlessHud::Build(tsv::GUIComponent* root, const PlayerExtra& bests)
{
    m_root = root;
    m_bests = bests;
    m_shown = {-1, -1, -1, -1};
    // The best lines' captions are formats of one number each.
    const auto format = [root](const char* name) {
        tsv::GUIComponent* line = root ? root->Find(name) : nullptr;
        return line ? line->GetCaption() : std::string("%d");
    };
    m_bestScoreFormat = format("bestscore");
    m_bestCascadeFormat = format("bestcascade");
    m_bestPiecesFormat = format("bestpieces");
}

void EndlessHud::Show(const EndlessTally& tally)
{
    if (tally == m_shown) {
        return;
    }
    // The first figures are written, not announced.
    const int64_t now = m_shown.moves < 0 ? 0 : tsv::Application::Instance().GetSystemTimer().GetTime();
    if (tally.score != m_shown.score) {
        SetFigure("score", tally.score, now);
    }
    if (tally.longestCascade != m_shown.longestCascade) {
        SetFigure("cascade", tally.longestCascade, now);
    }
    if (tally.piecesCleared != m_shown.piecesCleared) {
        SetFigure("pieces", tally.piecesCleared, now);
    }
    m_shown = tally;
    RaiseEndlessBests(m_bests, tally);
    SetBest("bestscore", m_bestScoreFormat, m_bests.bestScore);
    SetBest("bestcascade", m_bestCascadeFormat, m_bests.bestCascade);
    SetBest("bestpieces", m_bestPiecesFormat, m_bests.bestPieces);
}

void EndlessHud::SetFigure(const char* name, int64_t value, int64_t now)
{
    tsv::GUIComponent* figure = m_root ? m_root->Find(name) : nullptr;
    if (!figure) {
        return;
    }
    figure->SetCaption(std::to_string(value));
    if (now > 0) {
        Pulse(*figure->GetNode(), now, {1.15f, 1.15f});
    }
}

void EndlessHud::SetBest(const char* name, const std::string& format, int64_t value)
{
    if (tsv::GUIComponent* line = m_root ? m_root->Find(name) : nullptr) {
        line->SetCaption(tsv::FormatText(format, {value}));
    }
}

} // namespace bsh
