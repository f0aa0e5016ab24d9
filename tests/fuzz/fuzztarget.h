#pragma once
// One reader of outside data per file: BSH_FUZZ_TARGET(name) { ... } receives
// the input as `data` and `size`. The fuzz build (clang, BSH_FUZZ) turns each
// file into a libFuzzer executable; the normal suite compiles the same files
// with g++ and replays tests/fuzz/regressions/<name>/ through them.

#include <cstddef>
#include <cstdint>
#include <string>

namespace bsh::fuzz {

using TargetFunction = int (*)(const uint8_t* data, size_t size);

// The regression suite's list of targets; each target file adds itself.
bool RegisterTarget(const char* name, TargetFunction function);

// A scratch folder of this process (ending with "/"), made on first use and
// set as the storage folder, so nothing a reader writes lands in the tree;
// the engine's parts are built over it then, with a headless scene.
const std::string& Scratch();
// Writes the input to Scratch() + name and returns that path.
std::string WriteInput(const std::string& name, const uint8_t* data, size_t size);
// Empties the scratch folder: readers keep damaged files aside under new
// names, which would pile up over millions of runs.
void ClearScratch();
// The headless scene on a virtual clock, for the node readers (see Scratch).
void UseHeadlessScene();

} // namespace bsh::fuzz

#ifdef BSH_FUZZ_LIBFUZZER
#define BSH_FUZZ_ENTRY(name)                                                                                        \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return FuzzTarget_##name(data, size); }
#else
#define BSH_FUZZ_ENTRY(name)                                                                                        \
    [[maybe_unused]] static const bool g_registered_##name = bsh::fuzz::RegisterTarget(#name, &FuzzTarget_##name);
#endif

// The body returns nothing: libFuzzer wants 0 for every input a target reads.
#define BSH_FUZZ_TARGET(name)                                                                                       \
    static void FuzzBody_##name(const uint8_t* data, size_t size);                                                  \
    static int FuzzTarget_##name(const uint8_t* data, size_t size)                                                  \
    {                                                                                                               \
        FuzzBody_##name(data, size);                                                                                \
        return 0;                                                                                                   \
    }                                                                                                               \
    BSH_FUZZ_ENTRY(name)                                                                                            \
    static void FuzzBody_##name([[maybe_unused]] const uint8_t* data, [[maybe_unused]] size_t size)
