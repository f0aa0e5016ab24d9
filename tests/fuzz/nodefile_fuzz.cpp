// Node files, through the library as the game loads them, so "apply",
// "replace" and child node paths are followed.
#include "fuzz/fuzztarget.h"

#include "engine/scene/nodelibrary.h"

BSH_FUZZ_TARGET(nodefile)
{
    bsh::fuzz::UseHeadlessScene();
    const std::string path = bsh::fuzz::WriteInput("node.xml", data, size);
    tsv::NodeLibrary::Instance().Clear();
    tsv::NodeLibrary::Instance().CreateNode(path);
    tsv::NodeLibrary::Instance().Clear();
}
