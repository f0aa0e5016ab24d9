#pragma once
// The engine's key numbers: 1..145 are the positions of the key names below;
// 0 is "no key".

#include <string>

namespace tsv {

inline constexpr int kKeyCodeCount = 145;

// Exact, case-sensitive; an unknown name gives 0.
int KeyCodeFromName(const std::string& name);
// The name of a key code, or "" outside 1..145.
const char* KeyNameFromCode(int code);
// The platform key (kKeyboardBase + SDL scancode) of an engine key code; 0 when
// the key has no counterpart on this platform.
int PlatformKeyFromKeyCode(int code);

} // namespace tsv
