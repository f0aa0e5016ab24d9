#pragma once

#include <string>

namespace tsv {

enum class MessageBoxKind {
    Ok,    // an OK button, error icon
    YesNo, // Yes and No buttons, error icon
    Info,  // an OK button, information icon
};

// Shows a modal message box; true when the player answered Yes (or OK).
// Without a display the text goes to standard error and the answer is No.
bool ShowMessageBox(const std::string& title, const std::string& text, MessageBoxKind kind);

// Headless runs never open dialogs.
void SetMessageBoxesHeadless(bool headless);

} // namespace tsv
