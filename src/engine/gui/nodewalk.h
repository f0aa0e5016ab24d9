#pragma once
// Walks a node and every scene node below it (pictures from node files are
// trees of their own).

#include "engine/scene/scenenode.h"

namespace tsv {

// Applies `fn` to the node and every scene node below it.
template <class Fn>
void ForEachNode(SceneNode& node, Fn&& fn)
{
    fn(node);
    if (const auto& children = node.GetChildren()) {
        for (const HierarchyNodePtr& child : children->nodes) {
            if (auto* scene = dynamic_cast<SceneNode*>(child.Get())) {
                ForEachNode(*scene, fn);
            }
        }
    }
}

} // namespace tsv
