// Icon sets, and an icon looked up in what they gave.
#include "fuzz/fuzztarget.h"

#include "engine/gui/iconset.h"

BSH_FUZZ_TARGET(iconset)
{
    bsh::fuzz::UseHeadlessScene();
    const std::string path = bsh::fuzz::WriteInput("icons.xml", data, size);
    tsv::IconSet icons;
    icons.Load(path);
}
