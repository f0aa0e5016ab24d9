// A level's recording (--replay FILE): read, and what was read written and
// read again to the same.
#include "fuzz/fuzztarget.h"

#include "game/progress/replay.h"

#include <cstdlib>

BSH_FUZZ_TARGET(replay)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    bsh::Replay replay;
    std::string why;
    if (bsh::ParseReplay(text, replay, why) == bsh::ReplayRead::Read) {
        bsh::Replay again;
        if (bsh::ParseReplay(bsh::FormatReplay(replay), again, why) != bsh::ReplayRead::Read || !(again == replay)) {
            std::abort();
        }
    }
}
