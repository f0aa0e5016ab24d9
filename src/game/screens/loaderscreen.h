#pragma once
// The first screen of the program: it stays up at least two seconds, warms the
// sound and texture caches in slices while a bar shows how far that has come,
// and then hands over (to the intro).

#include "engine/gui/screen.h"
#include "game/screens/preloader.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace bsh {

class LoaderScreen : public tsv::Screen {
public:
    static constexpr const char* kScreenFile = "/gui/intro/loaderscreen.xml";
    static constexpr const char* kSoundList = "/sound/preload.xml";
    static constexpr const char* kTextureFolder = "data/texture";
    // Preloading starts this long after the first update, so the loader has
    // been drawn once before the work begins.
    static constexpr int64_t kPreloadDelayMs = 100;
    // The loader stays at least this long after its creation.
    static constexpr int64_t kMinimumMs = 2000;
    // Wall time the preload may take out of one frame.
    static constexpr int64_t kSliceMs = 12;

    // `onDone` runs once, when the loader has finished; it is up to it to take
    // this screen away. `preloader` defaults to the game's sound list and texture folder.
    explicit LoaderScreen(std::function<void()> onDone, std::unique_ptr<Preloader> preloader = nullptr);

    void Run() override;

    bool IsPreloadStarted() const { return m_preloadStarted; }
    bool IsDone() const { return m_done; }
    int64_t GetCreationTime() const { return m_created; }
    const Preloader& GetPreloader() const { return *m_preloader; }
    // The time of the loader's first update, 0 before it (process-wide).
    static int64_t FirstUpdateTime();
    // 0..1 as the bar shows it: the preload's share of work, held back by the
    // loader's minimum time so that the bar fills evenly on a fast machine.
    float GetShownProgress() const { return m_shown; }
    // The clock the loader's times are on (the game's timer).
    static int64_t Now();

private:
    void ShowProgress(float fraction);

    int64_t m_created = 0;
    bool m_done = false;
    bool m_preloadStarted = false;
    std::unique_ptr<Preloader> m_preloader;
    std::function<void()> m_onDone;
    float m_shown = -1.0f;
    tsv::GUIComponent* m_fill = nullptr;
    tsv::GUIComponent* m_glint = nullptr;
    int32_t m_fillLeft = 0;
    int32_t m_fillWidth = 0;
};

} // namespace bsh
