#include "engine/scene/scene.h"

#include "engine/runtime/application.h"

#include <algorithm>

namespace tsv {

Scene::~Scene() { DetachAll(); }

int Scene::Draw(Platform* platform)
{
    m_lastDrawCount = platform ? DrawNodes(*platform) : 0;
    return m_lastDrawCount;
}

void Scene::EndStep()
{
    AttachPending();
    BuryRemoved();
}

bool Scene::DrawOrder::operator()(const HierarchyNodePtr& a, const HierarchyNodePtr& b) const
{
    const DrawKey& ka = a->m_drawKey;
    const DrawKey& kb = b->m_drawKey;
    if (ka.visible != kb.visible) {
        return ka.visible;
    }
    if (ka.emitter != kb.emitter) {
        return !ka.emitter;
    }
    if (ka.layer != kb.layer) {
        return ka.layer < kb.layer;
    }
    if (ka.worldZ != kb.worldZ) {
        return ka.worldZ > kb.worldZ;
    }
    return ka.sequence < kb.sequence;
}

void Scene::AttachPending()
{
    for (size_t i = 0; i < m_pending.size(); ++i) {
        // Copied: attaching may not touch the pending list, but the reference must outlive the call.
        HierarchyNodePtr node = m_pending[i];
        if (!node->m_scene) {
            AddNode(node, Scope::Subtree, Attach::Now);
        }
    }
    for (const HierarchyNodePtr& node : m_pending) {
        node->m_pending = false;
    }
    m_pending.clear();
}

bool Scene::AddNode(const HierarchyNodePtr& node, Scope scope, Attach attach)
{
    if (!node) {
        return false;
    }
    if (scope == Scope::Subtree && node->m_children) {
        IntrusivePtr<HierarchyNode::Children> hold = node->m_children;
        for (const HierarchyNodePtr& child : hold->nodes) {
            AddNode(child, Scope::Subtree, Attach::Now);
        }
    }
    if (attach == Attach::Now && !node->m_scene) {
        node->m_drawKey = node->GetDrawKey();
        node->m_drawKey.sequence = node->m_drawSequence;
        node->m_scene = this;
        m_drawSet.insert(node);
        m_orderedDirty = true;
    }
    return true;
}

void Scene::RemoveNode(const HierarchyNodePtr& nodeRef, Scope scope, Detach detach, Rejoin rejoin)
{
    if (!nodeRef) {
        return;
    }
    // The set may hold the last reference.
    HierarchyNodePtr node = nodeRef;
    if (scope == Scope::Subtree && node->m_children) {
        IntrusivePtr<HierarchyNode::Children> hold = node->m_children;
        for (const HierarchyNodePtr& child : hold->nodes) {
            RemoveNode(child, Scope::Subtree, detach, rejoin);
        }
    }
    if (detach == Detach::Skip) {
        return;
    }
    if (node->m_parent) {
        node->m_parent->m_childrenChanged = true;
    }
    if (node->m_scene == this) {
        node->m_scene = nullptr;
        m_graveyard.push_back(node);
        m_drawSet.erase(node);
        m_orderedDirty = true;
        if (rejoin == Rejoin::AtStepEnd) {
            if (!node->m_pending) {
                node->m_pending = true;
                m_pending.push_back(node);
            }
            return;
        }
    }
    if (rejoin == Rejoin::Never && node->m_pending) {
        node->m_pending = false;
        m_pending.erase(std::find(m_pending.begin(), m_pending.end(), node));
    }
}

void Scene::DetachAll()
{
    m_scheduled.clear();
    m_ordered.clear();
    m_orderedDirty = true;
    m_pendingSnapshot.clear();
    for (const HierarchyNodePtr& node : m_pending) {
        node->m_pending = false;
    }
    m_pending.clear();
    while (!m_drawSet.empty()) {
        HierarchyNodePtr node = *m_drawSet.begin();
        node->m_scene = nullptr;
        m_graveyard.push_back(node);
        m_drawSet.erase(m_drawSet.begin());
    }
    BuryRemoved();
}

const std::vector<HierarchyNode*>& Scene::OrderedNodes()
{
    if (m_orderedDirty) {
        m_ordered.clear();
        for (const HierarchyNodePtr& node : m_drawSet) {
            m_ordered.push_back(node.Get());
        }
        m_orderedDirty = false;
    }
    return m_ordered;
}

void Scene::BuryRemoved()
{
    // Swapped out first: releasing may destroy nodes whose destructors touch the scene again.
    std::vector<HierarchyNodePtr> removed;
    removed.swap(m_graveyard);
}

void Scene::UpdateNodes()
{
    ProcessScheduled();
    // The ordered list is the snapshot of the set: changes during the step
    // only mark it for rebuilding, which waits for the next walk.
    const std::vector<HierarchyNode*>& set = OrderedNodes();
    m_pendingSnapshot.assign(m_pending.begin(), m_pending.end());
    const auto update = [](HierarchyNode& node) {
        if (node.IsAlive() || node.IsEmitter()) {
            node.Update();
        }
    };
    const auto removeExpired = [this](HierarchyNode& node) {
        if (!node.IsAlive() && !node.IsEmitter()) {
            RemoveNode(HierarchyNodePtr(&node), Scope::Subtree, Detach::Now, Rejoin::Never);
        }
    };
    for (HierarchyNode* node : set) {
        update(*node);
    }
    for (const HierarchyNodePtr& node : m_pendingSnapshot) {
        update(*node);
    }
    for (HierarchyNode* node : set) {
        removeExpired(*node);
    }
    for (const HierarchyNodePtr& node : m_pendingSnapshot) {
        removeExpired(*node);
    }
    m_pendingSnapshot.clear();
    BuryRemoved();
}

void Scene::ClearLayers(int32_t lowest, int32_t highest)
{
    const auto inRange = [lowest, highest](const HierarchyNode& node) {
        const int32_t layer = node.GetDrawKey().layer;
        return layer >= lowest && layer <= highest;
    };
    for (auto it = m_scheduled.begin(); it != m_scheduled.end();) {
        it = inRange(*it->second.node) ? m_scheduled.erase(it) : std::next(it);
    }
    const auto expire = [](HierarchyNode& node) {
        node.Expire();
        if (node.m_children) {
            for (const HierarchyNodePtr& child : node.m_children->nodes) {
                child->Expire();
            }
        }
    };
    // Expiring changes no drawing key, so the set can be walked directly.
    for (const HierarchyNodePtr& node : m_drawSet) {
        if (inRange(*node)) {
            expire(*node);
        }
    }
    for (const HierarchyNodePtr& node : m_pending) {
        if (inRange(*node)) {
            expire(*node);
        }
    }
}

void Scene::Schedule(const HierarchyNodePtr& node, int64_t timeMs, ScheduleAction action)
{
    if (!node) {
        return;
    }
    if (action == ScheduleAction::Remove) {
        m_scheduled.emplace(timeMs, ScheduledEntry{node, true});
        return;
    }
    HierarchyNodePtr clone = node->Clone(Scope::Subtree);
    clone->m_lastUpdate = 0;
    const int64_t now = node->GetTime();
    if (clone->m_expiry != 0 && timeMs > now) {
        clone->m_expiry += timeMs - now;
    }
    m_scheduled.emplace(timeMs, ScheduledEntry{clone, false});
}

void Scene::ProcessScheduled()
{
    while (!m_scheduled.empty()) {
        auto it = m_scheduled.begin();
        HierarchyNodePtr node = it->second.node;
        if (it->first > node->GetTime()) {
            break;
        }
        const bool remove = it->second.remove;
        m_scheduled.erase(it);
        if (remove) {
            // The node leaves the scene now and its parent lets go of it on its next update.
            node->Expire();
            RemoveNode(node, Scope::Subtree, Detach::Now, Rejoin::Never);
        } else {
            AddNode(node, Scope::Subtree, Attach::Now);
        }
    }
}

int Scene::DrawNodes(Platform& platform)
{
    int drawn = 0;
    for (HierarchyNode* node : OrderedNodes()) {
        if (!node->m_drawKey.visible || node->m_drawKey.emitter) {
            break;
        }
        if (node->IsAlive()) {
            node->Draw(platform);
            ++drawn;
        }
    }
    return drawn;
}

void AddGameNode(const SceneNodePtr& node)
{
    node->SetTimer(IntrusivePtr<Timer>(&Application::Instance().GetTimer()), Scope::Subtree, Reassign::Quiet);
    Scene::Instance().AddNode(node, Scope::Subtree, Attach::Now);
}

void AddGameNode(const SceneNodePtr& node, int32_t layer)
{
    node->SetTimer(IntrusivePtr<Timer>(&Application::Instance().GetTimer()), Scope::Subtree, Reassign::Quiet);
    node->SetLayer(layer, Scope::Subtree);
    Scene::Instance().AddNode(node, Scope::Subtree, Attach::Now);
}

} // namespace tsv
