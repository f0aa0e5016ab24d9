// Screen files: the component tree built from whatever the file says.
#include "fuzz/fuzztarget.h"

#include "engine/gui/screen.h"

BSH_FUZZ_TARGET(screen)
{
    bsh::fuzz::UseHeadlessScene();
    const std::string path = bsh::fuzz::WriteInput("screen.xml", data, size);
    tsv::ScreenPtr screen(new tsv::Screen);
    if (screen->LoadScreenFile(path) && screen->GetRoot()) {
        screen->FindComponent("yesbutton");
        screen->GetRoot()->Walk([](tsv::GUIComponent& component, int) { (void)component.GetWorldPosition(); });
    }
}
