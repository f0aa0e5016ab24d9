// profiles.dat in the storage folder.
#include "fuzz/fuzztarget.h"

#include "game/progress/profilemanager.h"

BSH_FUZZ_TARGET(profiles)
{
    bsh::fuzz::ClearScratch();
    bsh::fuzz::WriteInput(bsh::ProfileManager::kFileName, data, size);
    tsv::IntrusivePtr<bsh::ProfileManager> profiles(new bsh::ProfileManager);
    profiles->Load();
    // What was read must also save.
    profiles->Save();
}
