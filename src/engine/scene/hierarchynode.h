#pragma once
// The base of everything the scene shows: a reference-counted node with a
// parent, owned children, a lifetime on a Timer and a place in the scene.

#include "engine/core/intrusiveptr.h"
#include "engine/runtime/timer.h"

#include <cstddef>
#include <cstdint>
#include <set>

namespace tsv {

class Scene;
class Platform;

// Where a node stands in the scene's drawing order. Captured when the node
// enters the drawing set, so the set's order never changes under it.
struct DrawKey {
    bool visible = false;
    bool emitter = false;
    int32_t layer = 0;
    float worldZ = 0;
    // Breaks ties of layer and depth: a node made later draws over one made
    // earlier, so a parent draws under its children and a screen file's later
    // components over its earlier ones, whenever each was attached.
    uint64_t sequence = 0;
};

// How far a call on a node reaches: the node alone, or it and every descendant.
enum class Scope { Node, Subtree };
// Whether a node taken out of its parent (or out of the drawing set) also leaves the scene.
enum class Detach { Skip, Now };
// A second timer assignment that is not Quiet logs a warning.
enum class Reassign { Warn, Quiet };

class HierarchyNode : public RefCounted {
public:
    // Ordered by identity: the order carries no meaning, it only makes lookup cheap.
    struct IdentityLess {
        bool operator()(const IntrusivePtr<HierarchyNode>& a, const IntrusivePtr<HierarchyNode>& b) const
        {
            return a.Get() < b.Get();
        }
    };
    using ChildSet = std::set<IntrusivePtr<HierarchyNode>, IdentityLess>;
    // Shared so that a walk can hold on to the set while children come and go.
    struct Children : RefCounted {
        ChildSet nodes;
    };

    // Measures time on the scheduler's ("system") timer.
    HierarchyNode();
    // Copies the timer, expiry and last update time; no parent, scene or children.
    HierarchyNode(const HierarchyNode& other);
    HierarchyNode& operator=(const HierarchyNode&) = delete;
    ~HierarchyNode() override;

    // True while the expiry (ms on the node's timer) is 0 or still ahead.
    virtual bool IsAlive() const;
    // Takes ownership of `child`; attaches it when this node is attached.
    virtual void AddChild(const IntrusivePtr<HierarchyNode>& child);
    // With Detach::Now, takes the child out of the scene first. True if it was a child.
    virtual bool RemoveChild(HierarchyNode* child, Detach detach);
    // Leaves the scene and lets go of every child.
    virtual void Clear();
    // Once per frame while attached: stamps the update time and drops expired
    // children that have left the scene.
    virtual void Update();
    // A new node of the same class and own state, without children.
    virtual IntrusivePtr<HierarchyNode> CloneSelf() const = 0;
    // CloneSelf plus, for Scope::Subtree, a deep clone of every child.
    virtual IntrusivePtr<HierarchyNode> Clone(Scope scope) const;
    // Moves the expiry (when set) and the last update time by `deltaMs`.
    virtual void ShiftTime(int64_t deltaMs, Scope scope);
    // Emitters are never drawn and never expire out of the scene.
    virtual bool IsEmitter() const { return false; }

    // Drawing hooks for the scene; the base draws nothing.
    virtual DrawKey GetDrawKey() const { return DrawKey{}; }
    virtual void Draw(Platform& platform);

    // Replaces the clock.
    void SetTimer(const IntrusivePtr<Timer>& timer, Scope scope, Reassign reassign);
    const IntrusivePtr<Timer>& GetTimer() const { return m_timer; }
    int64_t GetTime() const { return m_timer ? m_timer->GetTime() : 0; }
    // Expiry = now + ms.
    void SetLifetime(int64_t ms);
    // Ends the node's life now; the next scene update removes it.
    void Expire() { m_expiry = GetTime() > 0 ? GetTime() : -1; }
    int64_t GetExpiry() const { return m_expiry; }
    void SetExpiry(int64_t ms) { m_expiry = ms; }
    int64_t GetLastUpdateTime() const { return m_lastUpdate; }
    void SetLastUpdateTime(int64_t ms) { m_lastUpdate = ms; }

    HierarchyNode* GetParent() const { return m_parent; }
    Scene* GetScene() const { return m_scene; }
    bool IsAttached() const { return m_scene != nullptr; }
    // The children, or null before the first AddChild.
    const IntrusivePtr<Children>& GetChildren() const { return m_children; }
    size_t GetChildCount() const { return m_children ? m_children->nodes.size() : 0; }
    void MarkChildrenChanged() { m_childrenChanged = true; }

protected:
    // For derived classes whose transform depends on the parent's.
    virtual void OnParentChanged() {}

private:
    friend class Scene;

    HierarchyNode* m_parent = nullptr;
    Scene* m_scene = nullptr;
    int64_t m_expiry = 0;
    int64_t m_lastUpdate = 0;
    bool m_childrenChanged = false;
    bool m_timerAssigned = false;
    IntrusivePtr<Children> m_children;
    IntrusivePtr<Timer> m_timer;
    // Scene bookkeeping: the key the drawing set sorted this node by, and
    // whether it waits on the pending list.
    DrawKey m_drawKey;
    uint64_t m_drawSequence = 0; // the order the node was made in
    bool m_pending = false;
};

using HierarchyNodePtr = IntrusivePtr<HierarchyNode>;

} // namespace tsv
