// SdlPlatform, the clipboard part: the desktop's, or a headless run's own.

#include "engine/platform/sdl/sdlplatform.h"

#include <SDL.h>

namespace tsv {

std::string SdlPlatform::ClipboardGetText() const
{
    if (m_options.headless) {
        return m_clipboard;
    }
    std::string text;
    if (char* clip = SDL_GetClipboardText()) {
        text = clip;
        SDL_free(clip);
    }
    return text;
}

void SdlPlatform::ClipboardSetText(const std::string& utf8)
{
    if (m_options.headless) {
        m_clipboard = utf8;
    } else {
        SDL_SetClipboardText(utf8.c_str());
    }
}

} // namespace tsv
