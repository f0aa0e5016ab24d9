#pragma once
// Script commands of the GUI, for tests and for screen-file authors:
//   ui PATH     writes the screen stack and every component as text
//   press NAME  clicks the component NAME of the newest screen that has it
//   audiodevice unplug|plug   the sound card goes away, or may be found again
//   checkdrawn PATH   writes what CheckDrawnComponents finds

#include <string>

namespace tsv {

class ScriptPlayer;

// Registers "ui" and "press" with the script parser and player; call before
// a script is parsed.
void RegisterGuiScriptCommands();

// The text "ui" writes: per screen, oldest first, "screen\tNAME\tFILE", then
// per component, depth first, "component\tDEPTH\tNAME\tTYPE\tVISIBLE\tENABLED
// \tX\tY\tW\tH\tTEXT" with X Y the centre in view pixels and TEXT in UTF-8,
// and "focus\tNAME" after them while the keyboard's focus shows on that screen.
std::string DescribeScreenStack();

// Whether the picture agrees with the components' flags: the scene is drawn
// with and without each component's nodes. A shown component with a picture,
// a caption or text (of the newest screen, unless a rootless overlay stands
// over it) must change its rectangle; a hidden one, of any screen, must not.
// "ok\n", or one line per fault: "SCREEN\tCOMPONENT\tshown but not drawn" or
// "... hidden but drawn".
std::string CheckDrawnComponents();
inline constexpr int kDrawnCheckWidth = 800, kDrawnCheckHeight = 600;

// Clicks the centre of the component: mouse there and the left button down
// now, up on the next frame. False, with a Warning, when no screen has a
// visible, enabled component of that name.
bool PressComponent(const std::string& name, ScriptPlayer& player);

} // namespace tsv
