#pragma once
// The home page in the desktop's browser.

#include <string>

namespace bsh {

// Starts "xdg-open LINK" directly, never through a shell, so the link stays
// one argument whatever it holds. Only http:// and https:// links are opened;
// false when the link is refused or the program could not be started.
bool OpenHomePage(const std::string& link);

} // namespace bsh
