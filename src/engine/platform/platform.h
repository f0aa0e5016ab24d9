#pragma once
// What the engine asks of the platform, in four parts: the window (with the
// system, the frame loop and the clock), input, the renderer and the
// clipboard. Code that needs one part takes that part; the Platform is all
// four. One implementation runs over SDL2 (platform/sdl/), with a headless,
// fixed-step, scriptable mode for tests.

#include "engine/core/log.h"
#include "engine/platform/platformclipboard.h"
#include "engine/platform/platforminput.h"
#include "engine/platform/platformrenderer.h"
#include "engine/platform/platformwindow.h"

#include <memory>

namespace tsv {

class Platform : public PlatformWindow, public PlatformInput, public PlatformRenderer, public PlatformClipboard {
public:
    ~Platform() override = default;
};

struct RunOptions;

// The platform of this build (SDL2), set up from the run options.
std::unique_ptr<Platform> CreatePlatform(const RunOptions& options);

// The platform logs through the engine's log under a section of its own, so a
// target can keep its lines apart (the start-up gives them a file of their own).
inline constexpr const char* kPlatformLogSection = "Platform";
// Puts the lines logged while it lives under the platform's section.
inline LogSectionScope PlatformLogSection() { return {GetLog(), kPlatformLogSection, "", false}; }

} // namespace tsv
