#include "engine/scene/sceneviewer.h"

#include "engine/runtime/application.h"
#include "engine/scene/nodelibrary.h"
#include "engine/scene/frameloop.h"

namespace tsv {

namespace {

// A burst is over quickly; firing again lets it be watched.
constexpr int64_t kRefireIntervalMs = 2000;

class RefireTask : public Task {
public:
    explicit RefireTask(SceneNodePtr node) : m_node(std::move(node)) {}
    void Run() override { m_node->Fire(0, FireDelay::OnNode); }

private:
    SceneNodePtr m_node;
};

// Effect files usually group several emitters under one plain node; firing
// such a node fires its direct children.
bool HasEmitter(SceneNode& node)
{
    if (node.IsEmitter()) {
        return true;
    }
    if (!node.GetChildren()) {
        return false;
    }
    for (const HierarchyNodePtr& child : node.GetChildren()->nodes) {
        auto* scene = dynamic_cast<SceneNode*>(child.Get());
        if (scene && scene->IsEmitter()) {
            return true;
        }
    }
    return false;
}

} // namespace

bool StartSceneViewer(const std::string& path)
{
    SceneNodePtr node = NodeLibrary::Instance().CreateNode(path);
    if (!node) {
        return false;
    }
    Application& app = Application::Instance();
    node->SetTimer(IntrusivePtr<Timer>(&app.GetTimer()), Scope::Subtree, Reassign::Quiet);
    node->SetPosition({0, 0, 0}, Transform::Now);
    Scene::Instance().AddNode(node, Scope::Subtree, Attach::Now);
    if (HasEmitter(*node)) {
        node->Fire(0, FireDelay::OnNode);
        app.GetTaskManager().AddTask(IntrusivePtr<Task>(new RefireTask(node)), kRefireIntervalMs);
    }
    return true;
}

} // namespace tsv
