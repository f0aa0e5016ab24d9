#pragma once
// Shows one screen file over the menu backdrop, with working input, so that
// a layout can be looked at without playing up to it.

#include <string>

namespace tsv {

// The dialog files open as their dialog; any other file as a plain screen.
// False (logged) when the file gives no screen.
bool StartScreenViewer(const std::string& path);

} // namespace tsv
