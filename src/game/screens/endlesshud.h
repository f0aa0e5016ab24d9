#pragma once
// The endless board's HUD ("/gui/endlessscreen.xml"): the run's score, longest
// cascade and pieces cleared on the plate beside the board, and under them the
// player's bests, which rise with the run as soon as it passes them.

#include "engine/gui/guicomponent.h"
#include "game/progress/endlessrun.h"
#include "game/progress/playerextras.h"

#include <string>

namespace bsh {

class EndlessHud {
public:
    // Over the screen's components `root`, with the bests kept so far.
    void Build(tsv::GUIComponent* root, const PlayerExtra& bests);
    // Shows the tally; a figure that changed swells for a moment.
    void Show(const EndlessTally& tally);
    // The bests as shown: the kept ones raised by this run.
    const PlayerExtra& Bests() const { return m_bests; }

private:
    void SetFigure(const char* name, int64_t value, int64_t now);
    void SetBest(const char* name, const std::string& format, int64_t value);

    tsv::GUIComponent* m_root = nullptr;
    PlayerExtra m_bests;
    EndlessTally m_shown{-1, -1, -1, -1};
    std::string m_bestScoreFormat, m_bestCascadeFormat, m_bestPiecesFormat;
};

} // namespace bsh
