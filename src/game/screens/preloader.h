#pragma once
// Warms the caches before the menus need them: the sounds of the preload list
// first, then every ".png" and then every ".dds" under the texture folder
// (by default read into the file cache; a screen decodes what it shows). The
// work is done in slices so the loader keeps drawing frames while it runs.

#include <cstdint>
#include <string>
#include <vector>

namespace bsh {

class Preloader {
public:
    // Loads a texture by its file path; false when it could not be loaded.
    using TextureLoader = bool (*)(const std::string& path);

    Preloader(std::string soundList, std::string textureFolder, TextureLoader loader = nullptr);

    // Every file under `folder` whose name ends with `extension`, depth first in
    // the order the folder lists them: a subfolder is walked where it is met.
    static void Collect(const std::string& folder, const std::string& extension, std::vector<std::string>& paths);

    // Does work until `budgetMs` of wall time has passed (at least one step);
    // true once everything is loaded.
    bool Step(int64_t budgetMs);
    bool IsDone() const { return m_phase == Phase::Done; }
    // 0..1: the share of the work done.
    float Progress() const;

    int32_t GetTextureCount() const { return m_loaded; }   // successes only
    int32_t GetTextureTotal() const { return static_cast<int32_t>(m_paths.size()); }
    int64_t GetBytesRead() const { return m_bytes; }
    // Wall time spent inside Step, milliseconds.
    double GetBusyMs() const { return m_busyMs; }

private:
    enum class Phase { Sounds, Collect, Textures, Done };

    void DoOneStep();

    std::string m_soundList;
    std::string m_textureFolder;
    TextureLoader m_loader;
    Phase m_phase = Phase::Sounds;
    std::vector<std::string> m_paths;
    size_t m_next = 0;
    int32_t m_loaded = 0;
    int64_t m_bytes = 0;
    double m_busyMs = 0;
};

} // namespace bsh
