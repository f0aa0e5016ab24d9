// Scripted input (--script).
#include "fuzz/fuzztarget.h"

#include "engine/platform/script.h"

#include <vector>

BSH_FUZZ_TARGET(script)
{
    std::vector<tsv::ScriptCommand> commands;
    std::string error;
    tsv::ParseScript(std::string(reinterpret_cast<const char*>(data), size), "input.txt", commands, error);
}
