#pragma once
// The audio device over OpenAL Soft: one buffer per loaded effect shared by its
// voices, one source per voice, streamed sources for long files, and the
// loopback device (ALC_SOFT_loopback) for headless runs.

#include "engine/sound/audiodevice.h"

namespace tsv {

// The sound card, or a loopback device that renders into memory (headless runs, captures).
enum class AudioOutput { Device, Loopback };

// Null when OpenAL cannot open the device (or, for loopback, lacks the extension).
IntrusivePtr<AudioDevice> OpenOpenALDevice(AudioOutput output);

} // namespace tsv
