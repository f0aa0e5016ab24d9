#include "engine/scene/nodelibrary.h"

#include "engine/core/log.h"
#include "engine/core/util/file/resourcepath.h"
#include "engine/scene/nodeloader.h"

namespace tsv {

SceneNodePtr NodeLibrary::GetPrototype(const std::string& spelled)
{
    // Other spellings of one file are that file, for the cache and the cycle check.
    const std::string path = NormaliseResourcePath(spelled);
    if (auto it = m_prototypes.find(path); it != m_prototypes.end()) {
        return it->second;
    }
    SceneNodePtr node;
    if (m_loading.count(path) != 0) {
        GetLog() << Error << path << ": the node file includes itself" << EndL;
    } else {
        m_loading.insert(path);
        node = LoadNodeFile(path, nullptr);
        m_loading.erase(path);
    }
    if (!node) {
        GetLog() << Error << "Failed to load node from \"" << path << "\"!" << EndL;
        return nullptr;
    }
    m_prototypes[path] = node;
    return node;
}

SceneNodePtr NodeLibrary::CreateNode(const std::string& path)
{
    SceneNodePtr prototype = GetPrototype(path);
    if (!prototype) {
        return nullptr;
    }
    return SceneNodePtr(static_cast<SceneNode*>(prototype->Clone(Scope::Subtree).Get()));
}

} // namespace tsv
