// highscore.dat in the storage folder.
#include "fuzz/fuzztarget.h"

#include "game/progress/highscoretable.h"

BSH_FUZZ_TARGET(highscores)
{
    bsh::fuzz::ClearScratch();
    bsh::fuzz::WriteInput(bsh::HighscoreTable::kFileName, data, size);
    tsv::IntrusivePtr<bsh::HighscoreTable> table(new bsh::HighscoreTable(10));
    table->Serialise();
    table->EntriesOf(bsh::GameMode::Quest);
}
