#include "engine/platform/sdl/sdlplatform.h"

#include <SDL.h> // the members' complete types, for the destructor

// The class's parts live in sdlwindow.cpp, sdlinput.cpp, sdlrenderer.cpp and
// sdlclipboard.cpp, after the parts of the Platform interface they implement.

namespace tsv {

SdlPlatform::SdlPlatform(const RunOptions& options) : m_options(options) {}

SdlPlatform::~SdlPlatform() { SystemShutdown(); }

std::unique_ptr<Platform> CreatePlatform(const RunOptions& options) { return std::make_unique<SdlPlatform>(options); }

} // namespace tsv
