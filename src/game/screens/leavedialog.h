#pragma once
// The question before a level is left: the game's clock stops while it is
// asked and runs again when it is answered.

#include <functional>
#include <string>

namespace bsh {

// Opens the dialog with the text of `questionKey`; `leave` runs on Yes.
void AskToLeaveLevel(const std::string& questionKey, std::function<void()> leave);

} // namespace bsh
