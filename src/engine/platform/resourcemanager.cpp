#include "engine/platform/resourcemanager.h"

namespace tsv {

TextureHandle ResourceManager::GetTexture(const std::string& resolvedPath)
{
    auto it = m_textures.find(resolvedPath);
    if (it != m_textures.end()) {
        return it->second;
    }
    TextureHandle handle = m_platform.TextureLoad(resolvedPath);
    if (handle) {
        m_textures.emplace(resolvedPath, handle);
    }
    return handle;
}

void ResourceManager::Purge()
{
    for (const auto& [path, handle] : m_textures) {
        m_platform.TextureFree(handle);
    }
    m_textures.clear();
}

} // namespace tsv
