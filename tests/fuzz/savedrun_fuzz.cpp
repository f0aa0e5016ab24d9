// A saved unfinished run: the state's statistics, then the board's snapshot.
#include "fuzz/fuzztarget.h"

#include "game/board/boardevents.h"
#include "game/board/playfield.h"
#include "game/progress/gamestate.h"

#include <memory>

BSH_FUZZ_TARGET(savedrun)
{
    struct Run {
        bsh::BoardEvents events;
        std::unique_ptr<bsh::GameState> state;
        tsv::IntrusivePtr<bsh::PlayField> board;
    };
    static std::unique_ptr<Run> run = [] {
        auto made = std::make_unique<Run>();
        made->state = std::make_unique<bsh::GameState>(
            bsh::GameStatePaths{bsh::fuzz::Scratch() + "nomap.xml", bsh::fuzz::Scratch() + "noset%d.xml"});
        made->state->Profiles().Add(tsv::IntrusivePtr<bsh::Profile>(new bsh::Profile("Fuzz")));
        made->state->PrepareLevel("", bsh::GameMode::Arcade);
        made->board = tsv::MakeIntrusive<bsh::PlayField>(made->events, [] { return int64_t{1000}; });
        bsh::PlayField* board = made->board.Get();
        made->state->SetBoardSnapshotHooks([board](tsv::RecordWriter& out) { board->SaveState(out); },
                                           [board](tsv::RecordReader& in) { return board->LoadState(in); });
        return made;
    }();
    bsh::fuzz::ClearScratch();
    const std::string path = run->state->SavedGamePath(bsh::GameMode::Arcade);
    bsh::fuzz::WriteInput(path.substr(bsh::fuzz::Scratch().size()), data, size);
    if (run->state->LoadGame()) {
        // A resumed run is saved again when the player leaves it.
        run->board->DumpText();
        run->state->SaveGame();
    }
}
