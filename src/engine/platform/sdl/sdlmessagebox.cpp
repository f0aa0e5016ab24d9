#include "engine/platform/messagebox.h"

#include <SDL.h>
#include <cstdio>

namespace tsv {

namespace {
bool g_headless = false;
}

void SetMessageBoxesHeadless(bool headless) { g_headless = headless; }

bool ShowMessageBox(const std::string& title, const std::string& text, MessageBoxKind kind)
{
    auto toStderr = [&] {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
        return false;
    };
    if (g_headless) {
        return toStderr();
    }
    Uint32 flags = kind == MessageBoxKind::Info ? SDL_MESSAGEBOX_INFORMATION : SDL_MESSAGEBOX_ERROR;
    if (kind != MessageBoxKind::YesNo) {
        if (SDL_ShowSimpleMessageBox(flags, title.c_str(), text.c_str(), nullptr) != 0) {
            return toStderr();
        }
        return true;
    }
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
    };
    SDL_MessageBoxData data{flags, nullptr, title.c_str(), text.c_str(), 2, buttons, nullptr};
    int answer = 0;
    if (SDL_ShowMessageBox(&data, &answer) != 0) {
        return toStderr();
    }
    return answer == 1;
}

} // namespace tsv
