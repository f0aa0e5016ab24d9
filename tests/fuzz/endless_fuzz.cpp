// A player's kept endless board ("endless-<name>.dat"): its figures, then the
// board's snapshot.
#include "fuzz/fuzztarget.h"

#include "game/board/boardevents.h"
#include "game/board/playfield.h"
#include "game/progress/endlessrun.h"

BSH_FUZZ_TARGET(endless)
{
    static bsh::BoardEvents events;
    bsh::fuzz::ClearScratch();
    const std::string path = bsh::EndlessRun::PathFor("Fuzz");
    bsh::fuzz::WriteInput(path.substr(bsh::fuzz::Scratch().size()), data, size);
    tsv::IntrusivePtr<bsh::PlayField> board = tsv::MakeIntrusive<bsh::PlayField>(events, [] { return int64_t{1000}; });
    bsh::EndlessTally tally;
    if (bsh::EndlessRun::Load(path, tally, *board) == bsh::EndlessRun::Read::Loaded) {
        // A board found again is played on and kept again when the player leaves.
        board->Step();
        board->DumpText();
        bsh::EndlessRun::Save(path, tally, *board);
    }
}
