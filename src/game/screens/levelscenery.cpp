#include "game/screens/levelscenery.h"

#include "engine/scene/nodelibrary.h"
#include "engine/scene/frameloop.h"

namespace bsh {

LevelScenery::~LevelScenery()
{
    for (const tsv::SceneNodePtr& node : m_nodes) {
        node->Expire();
    }
}

void LevelScenery::Build(const std::vector<std::string>& decoration)
{
    for (const std::string& path : decoration) {
        if (tsv::SceneNodePtr node = tsv::NodeLibrary::Instance().CreateNode(path)) {
            tsv::AddGameNode(node);
            m_nodes.push_back(node);
        }
    }
    if (tsv::SceneNodePtr backdrop = tsv::NodeLibrary::Instance().CreateNode(kBackdrop)) {
        tsv::AddGameNode(backdrop, kBackdropLayer);
        m_nodes.push_back(backdrop);
    }
}

} // namespace bsh
