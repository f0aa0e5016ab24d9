// The player's config.xml in the storage folder.
#include "fuzz/fuzztarget.h"

#include "engine/core/config.h"

BSH_FUZZ_TARGET(config)
{
    bsh::fuzz::ClearScratch();
    bsh::fuzz::WriteInput("config.xml", data, size);
    tsv::Config config;
    config.Load(bsh::fuzz::Scratch());
    config.Format();
}
