// extras.dat in the storage folder: the players' clock settings and endless bests.
#include "fuzz/fuzztarget.h"

#include "game/progress/playerextras.h"

#include <cstdlib>

BSH_FUZZ_TARGET(extras)
{
    bsh::fuzz::ClearScratch();
    bsh::fuzz::WriteInput(bsh::PlayerExtras::kFileName, data, size);
    bsh::PlayerExtras extras;
    extras.Load();
    // What was read must also save, and read back the same.
    extras.Save();
    bsh::PlayerExtras again;
    again.Load();
    if (again.Serialise() != extras.Serialise()) {
        std::abort();
    }
}
