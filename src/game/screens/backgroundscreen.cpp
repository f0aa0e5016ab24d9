#include "game/screens/backgroundscreen.h"

#include "engine/scene/nodelibrary.h"

namespace bsh {

BackgroundScreen::BackgroundScreen()
{
    if (!LoadScreenFile(kScreenFile)) {
        return;
    }
    m_backdrop = tsv::NodeLibrary::Instance().CreateNode(kBackdrop);
    tsv::GUIComponent* root = GetRoot();
    if (m_backdrop && root && root->GetNode()) {
        m_backdrop->SetLayer(root->GetLayer() < 0 ? GetLayer() : root->GetLayer(), tsv::Scope::Subtree);
        // Behind the root's own picture, if the file ever gives it one.
        m_backdrop->SetPosition({0, 0, 1.0f}, tsv::Transform::Later);
        root->GetNode()->AddChild(tsv::HierarchyNodePtr(m_backdrop.Get()));
        m_backdrop->UpdateWorldTransform();
    }
}

} // namespace bsh
