// Level lists: the arcade sets.
#include "fuzz/fuzztarget.h"

#include "game/progress/levellist.h"

#include <vector>

BSH_FUZZ_TARGET(levellist)
{
    const std::string path = bsh::fuzz::WriteInput("set.xml", data, size);
    std::vector<std::string> list;
    bsh::LoadLevelList(path, list);
}
