#pragma once
// The "show" feedback of a component that appears while its screen is open:
// it fades in and plays the sound and the node that its screen file gives
// under the event name "show".

#include "engine/gui/guicomponent.h"

#include <cstdint>

namespace bsh {

inline constexpr const char* kShowEvent = "show";

// Makes `component` visible, fades it in over `fadeMs` and plays its "show" feedback.
void PlayShowFeedback(tsv::GUIComponent& component, int64_t fadeMs);

} // namespace bsh
