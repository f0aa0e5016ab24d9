#include "engine/scene/hierarchynode.h"

#include "engine/core/log.h"
#include "engine/runtime/application.h"
#include "engine/scene/frameloop.h"

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
        child->m_parent->RemoveChild(child.Get(), Detach::Skip);
    }
    if (child->m_scene) {
        // Its world transform, and so its place in the drawing order, is about to
        // change; under a detached parent it leaves the scene.
        child->m_scene->RemoveNode(child, Scope::Subtree, Detach::Now, m_scene ? Rejoin::AtStepEnd : Rejoin::Never);
    }
    child->m_parent = this;
    m_children->nodes.insert(child);
    child->OnParentChanged();
    if (m_scene) {
        m_scene->AddNode(child, Scope::Subtree, Attach::Now);
    }
}

bool HierarchyNode::RemoveChild(HierarchyNode* child, Detach detach)
{
    if (!child || !m_children) {
        return false;
    }
    // Keeps the child alive through the removal even when this was its last owner.
    HierarchyNodePtr keep(child);
    if (detach == Detach::Now && child->m_scene) {
        child->m_scene->RemoveNode(keep, Scope::Subtree, Detach::Now, Rejoin::Never);
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
        m_scene->RemoveNode(HierarchyNodePtr(this), Scope::Subtree, Detach::Now, Rejoin::Never);
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

IntrusivePtr<HierarchyNode> HierarchyNode::Clone(Scope scope) const
{
    IntrusivePtr<HierarchyNode> copy = CloneSelf();
    if (scope == Scope::Subtree && copy && m_children) {
        for (const HierarchyNodePtr& child : m_children->nodes) {
            copy->AddChild(child->Clone(Scope::Subtree));
        }
    }
    return copy;
}

void HierarchyNode::ShiftTime(int64_t deltaMs, Scope scope)
{
    if (m_expiry != 0) {
        m_expiry += deltaMs;
    }
    m_lastUpdate += deltaMs;
    if (scope == Scope::Subtree && m_children) {
        for (const HierarchyNodePtr& child : m_children->nodes) {
            if (!child->IsEmitter()) {
                child->ShiftTime(deltaMs, Scope::Subtree);
            }
        }
    }
}

void HierarchyNode::Draw(Platform&) {}

void HierarchyNode::SetTimer(const IntrusivePtr<Timer>& timer, Scope scope, Reassign reassign)
{
    if (m_timerAssigned && reassign != Reassign::Quiet) {
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
    if (scope == Scope::Subtree && m_children) {
        for (const HierarchyNodePtr& child : m_children->nodes) {
            child->SetTimer(timer, Scope::Subtree, Reassign::Quiet);
        }
    }
}

void HierarchyNode::SetLifetime(int64_t ms) { m_expiry = GetTime() + ms; }

} // namespace tsv
