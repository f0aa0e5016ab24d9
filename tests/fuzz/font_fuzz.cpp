// Font files, and a text laid out with what they gave.
#include "fuzz/fuzztarget.h"

#include "engine/gui/font.h"

BSH_FUZZ_TARGET(font)
{
    bsh::fuzz::UseHeadlessScene();
    const std::string path = bsh::fuzz::WriteInput("font.xml", data, size);
    tsv::FontPtr font(new tsv::Font);
    if (font->Load(path)) {
        font->MeasureText("Brine #{!0xFF00FF00}stone\nharbour");
    }
}
