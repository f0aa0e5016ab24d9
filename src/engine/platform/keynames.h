#pragma once
// The engine's key numbers: 1..145 are the positions of the key names below;
// 0 is "no key".

#include <string>

namespace tsv {

inline constexpr int kKeyCodeCount = 145;

// The keys the code names itself, as their key numbers (a test holds each to
// its name's position). Files and scripts name keys by their names.
enum class KeyId : int {
    Escape = 1,
    Back = 14,
    Tab = 15,
    P = 25,
    Return = 28,
    LControl = 29,
    A = 30,
    LShift = 42,
    X = 45,
    C = 46,
    V = 47,
    RShift = 54,
    Space = 58,
    NumpadEnter = 107,
    RControl = 108,
    Pause = 120,
    Home = 121,
    Up = 122,
    Left = 124,
    Right = 125,
    End = 126,
    Down = 127,
    Insert = 129,
    Delete = 130,
};
constexpr int KeyCode(KeyId key) { return static_cast<int>(key); }

// Exact, case-sensitive; an unknown name gives 0.
int KeyCodeFromName(const std::string& name);
// The name of a key code, or "" outside 1..145.
const char* KeyNameFromCode(int code);
// The platform key (kKeyboardBase + SDL scancode) of an engine key code; 0 when
// the key has no counterpart on this platform.
int PlatformKeyFromKeyCode(int code);

} // namespace tsv
