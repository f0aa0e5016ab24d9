#pragma once
// A screen that only shows its file and goes on one of its buttons: the
// credits, the victory.

#include "engine/gui/screen.h"

#include <functional>
#include <initializer_list>
#include <string>

namespace bsh {

class ClosableScreen : public tsv::Screen {
public:
    // `onClose` runs once, on the first click on any of `buttons`.
    ClosableScreen(const std::string& file, std::initializer_list<const char*> buttons, std::function<void()> onClose);

    void Leave();

private:
    std::function<void()> m_onClose;
    bool m_leaving = false;
};

} // namespace bsh
