// The quest's map.xml, read for the levels a profile has completed.
#include "fuzz/fuzztarget.h"

#include "game/progress/gamestate.h"

#include <memory>

BSH_FUZZ_TARGET(questmap)
{
    static std::unique_ptr<bsh::GameState> state = [] {
        auto made = std::make_unique<bsh::GameState>(
            bsh::GameStatePaths{bsh::fuzz::Scratch() + "map.xml", bsh::fuzz::Scratch() + "noset%d.xml"});
        tsv::IntrusivePtr<bsh::Profile> profile(new bsh::Profile("Fuzz"));
        profile->Record().SetState(bsh::GameMode::Quest, "/level/quest/01.xml", bsh::LevelState::Completed);
        made->Profiles().Add(profile);
        return made;
    }();
    bsh::fuzz::WriteInput("map.xml", data, size);
    state->IsQuestComplete();
}
