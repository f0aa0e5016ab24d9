#pragma once
// Loads each node file once and hands out independent deep copies, so the
// loaded prototypes never enter the scene themselves.

#include "engine/core/accesspoint.h"
#include "engine/scene/scenenode.h"

#include <set>
#include <string>
#include <unordered_map>

namespace tsv {

class NodeLibrary : public AccessPoint<NodeLibrary> {
public:
    static constexpr const char* kPartName = "the node library";
    NodeLibrary() = default;

    // The loaded node for `path`, loading it on the first request; null when
    // it cannot be loaded (a later request tries again).
    SceneNodePtr GetPrototype(const std::string& path);
    // A deep clone of the prototype, or null.
    SceneNodePtr CreateNode(const std::string& path);

    size_t Count() const { return m_prototypes.size(); }
    void Clear() { m_prototypes.clear(); }

    NodeLibrary(const NodeLibrary&) = delete;
    NodeLibrary& operator=(const NodeLibrary&) = delete;

private:

    std::unordered_map<std::string, SceneNodePtr> m_prototypes;
    std::set<std::string> m_loading; // files being loaded, to refuse a file that includes itself
};

} // namespace tsv
