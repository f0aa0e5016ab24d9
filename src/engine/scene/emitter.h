#pragma once
// The particle prototype that turns a SceneNode into an emitter, and the hook
// through which an emitter's sound and playlist reach the sound layer.

#include <cstdint>
#include <functional>
#include <string>

namespace tsv {

struct EmitterDesc {
    int32_t count = 1;         // particles per spawn
    bool attached = false;     // particles join the emitter's parent instead of the scene root
    bool optional = false;     // skipped as the detail level drops
    int32_t spawnRateMs = 0;   // between spawns; 0 spawns only when fired
    bool randomVelocity = false;
    int32_t randomVelocityAmount = 0;
    bool randomAcceleration = false;
    int32_t randomAccelerationAmount = 0;
    std::string sound;
    std::string playlist;
};

// Called once per spawn with the emitter's sound and playlist names (either may
// be empty). Without a hook, emitters are silent.
using EmitterSoundHook = std::function<void(const std::string& sound, const std::string& playlist)>;
void SetEmitterSoundHook(EmitterSoundHook hook);
const EmitterSoundHook& GetEmitterSoundHook();

} // namespace tsv
