#include "engine/scene/hierarchynode.h"

#include "engine/core/log.h"
#include "engine/runtime/application.h"
#include "engine/scene/scenemanager.h"

#include <vector>

namespace tsv {

namespace {

// Numbers nodes in the order they are made: a tree is built (and cloned)
// parent first, children in order, so this is the order of the screen and
// node files, and a node made later (a highlight, a caption) comes after.
uint64_t NextDrawSequence()
{
    static uint64_t last = 0;
    return ++last;
}

} // namespace

HierarchyNode::HierarchyNode() : m_timer(&Application::Instance().GetSystemTimer()), m_drawSequence(NextDrawSequence())
{
}

HierarchyNode::HierarchyNode(const HierarchyNode& other)
    : RefCounted(other), m_expiry(other.m_expiry), m_lastUpdate(other.m_lastUpdate), m_timer(other.m_timer),
      m_drawSequence(NextDrawSequence())
{
}

HierarchyNode::~HierarchyNode()
{
    if (m_children) {
        for (const HierarchyNodePtr& child : m_children->nodes) {
            child->m_parent = nullptr;
        }
    }
}

bool HierarchyNode::IsAlive() const { return m_expiry == 0 || m_expiry > GetTime(); }

void HierarchyNode::AddChild(const IntrusivePtr<HierarchyNode>& child)
{
    if (!child || child.Get() == this) {
        return;
    }
    if (!m_children) {
        m_children = new Children;
    }
    if (child->m_parent && child->m_parent != this) {
        child->m_parent->RemoveChild(child.Get(), false);
    }
    if (child->m_scene) {
        // Its world transform, and so its place in the drawing order, is about to
        // change; under a detached parent it leaves the scene.
        child->m_scene->RemoveNode(child, true, true, m_scene != nullptr);
    }
    child->m_parent = this;
    m_children->nodes.insert(child);
    child->OnParentChanged();
    if (m_scene) {
        m_scene->AddNode(child, true, true);
    }
}

bool HierarchyNode::RemoveChild(HierarchyNode* child, bool detach)
{
    if (!child || !m_children) {
        return false;
    }
    // Keeps the child alive through the removal even when this was its last owner.
    HierarchyNodePtr keep(child);
    if (detach && child->m_scene) {
        child->m_scene->RemoveNode(keep, true, true, false);
    }
    bool found = m_children->nodes.erase(keep) != 0;
    if (found) {
        child->m_parent = nullptr;
    }
    return found;
}

void HierarchyNode::Clear()
{
    if (m_scene) {
        m_scene->RemoveNode(HierarchyNodePtr(this), true, true, false);
    }
    if (m_children) {
        for (const HierarchyNodePtr& child : m_children->nodes) {
            child->m_parent = nullptr;
        }
        m_children.Reset();
    }
}

void HierarchyNode::Update()
{
    m_lastUpdate = GetTime();
    if (m_childrenChanged && m_children) {
        IntrusivePtr<Children> hold = m_children;
        for (auto it = hold->nodes.begin(); it != hold->nodes.end();) {
            HierarchyNode* child = it->Get();
            if (!child->IsAlive() && !child->IsEmitter() && !child->m_scene) {
                child->m_parent = nullptr;
                it = hold->nodes.erase(it);
            } else {
                ++it;
            }
        }
    }
    m_childrenChanged = false;
}

IntrusivePtr<HierarchyNode> HierarchyNode::Clone(bool deep) const
{
    IntrusivePtr<HierarchyNode> copy = CloneSelf();
    if (deep && copy && m_children) {
        for (const HierarchyNodePtr& child : m_children->nodes) {
            copy->AddChild(child->Clone(true));
        }
    }
    return copy;
}

void HierarchyNode::ShiftTime(int64_t deltaMs, bool recursive)
{
    if (m_expiry != 0) {
        m_expiry += deltaMs;
    }
    m_lastUpdate += deltaMs;
    if (recursive && m_children) {
        for (const HierarchyNodePtr& child : m_children->nodes) {
            if (!child->IsEmitter()) {
                child->ShiftTime(deltaMs, true);
            }
        }
    }
}

void HierarchyNode::Draw(Platform&) {}

void HierarchyNode::SetTimer(const IntrusivePtr<Timer>& timer, bool recursive, bool internal)
{
    if (m_timerAssigned && !internal) {
        GetLog() << Warning
                 << "Another HierarchyNode::SetTimer invoke on node where timer was already assigned. See function "
                    "details."
                 << EndL;
    }
    bool hadTimer = m_timerAssigned;
    m_timer = timer;
    if (hadTimer && m_lastUpdate != 0) {
        m_lastUpdate = GetTime() - 1;
    }
    m_timerAssigned = true;
    if (recursive && m_children) {
        for (const HierarchyNodePtr& child : m_children->nodes) {
            child->SetTimer(timer, true, true);
        }
    }
}

void HierarchyNode::SetLifetime(int64_t ms) { m_expiry = GetTime() + ms; }

} // namespace tsv
