#pragma once
// Loads each texture once by its resolved path and hands out the same handle later.

#include "engine/platform/platform.h"

#include <string>
#include <unordered_map>

namespace tsv {

class ResourceManager {
public:
    explicit ResourceManager(Platform& platform) : m_platform(platform) {}
    ~ResourceManager() { Purge(); }
    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;

    // 0 when the file cannot be loaded (the platform logs why); a later call tries again.
    TextureHandle GetTexture(const std::string& resolvedPath);
    void Purge();
    size_t Count() const { return m_textures.size(); }

private:
    Platform& m_platform;
    std::unordered_map<std::string, TextureHandle> m_textures;
};

} // namespace tsv
