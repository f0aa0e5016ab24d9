#include "game/screens/showfeedback.h"

#include "engine/scene/nodelibrary.h"

namespace bsh {

namespace {

// In front of the component's own picture.
constexpr float kShowNodeZ = -0.7f;
// A show node that sets no lifetime of its own goes after this long.
constexpr int64_t kShowNodeLifetimeMs = 1000;

} // namespace

void PlayShowFeedback(tsv::GUIComponent& component, int64_t fadeMs)
{
    component.SetVisible(true);
    const tsv::SceneNodePtr& node = component.GetNode();
    if (!node) {
        return;
    }
    const int64_t t = node->GetTime();
    node->SetAlphaFade(true, t, t + fadeMs, 0, 255);
    const tsv::EventEntry* entry = component.GetEvent(kShowEvent);
    if (!entry) {
        return;
    }
    if (!entry->soundPath.empty()) {
        tsv::PlayGuiSound(entry->soundPath);
    }
    if (entry->nodePath.empty()) {
        return;
    }
    tsv::SceneNodePtr picture = tsv::NodeLibrary::Instance().CreateNode(entry->nodePath);
    if (!picture) {
        return;
    }
    picture->SetLayer(node->GetLayer(), tsv::Scope::Subtree);
    picture->SetPosition({0, 0, kShowNodeZ}, tsv::Transform::Later);
    if (picture->GetExpiry() == 0) {
        picture->SetLifetime(kShowNodeLifetimeMs);
    }
    node->AddChild(tsv::HierarchyNodePtr(picture.Get()));
    picture->UpdateWorldTransform();
}

} // namespace bsh
