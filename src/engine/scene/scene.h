#pragma once
// The scene: the nodes in it, kept as a drawing set in draw order, the nodes
// waiting to re-enter it, the nodes scheduled to enter or leave it at a time,
// and the nodes that left during a walk. Its update step runs each frame
// before it is drawn.

#include "engine/core/accesspoint.h"
#include "engine/platform/platform.h"
#include "engine/scene/hierarchynode.h"
#include "engine/scene/scenenode.h"

#include <cstdint>
#include <map>
#include <set>
#include <vector>

namespace tsv {

// Whether AddNode attaches the node itself; with Skip only a Scope::Subtree
// call does anything, to the descendants.
enum class Attach { Skip, Now };
// Whether a node taken out of the drawing set waits on the pending list to
// re-enter at the end of the update step (its drawing key changed) or is gone for good.
enum class Rejoin { Never, AtStepEnd };
// What a scheduled entry does at its time: attach a deep clone of the node, or
// take the node itself out of the scene.
enum class ScheduleAction { AttachClone, Remove };

class Scene : public AccessPoint<Scene> {
public:
    static constexpr const char* kPartName = "the scene";
    Scene() = default;
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // Attaches `node` (and first, for Scope::Subtree, its subtree) to the scene.
    bool AddNode(const HierarchyNodePtr& node, Scope scope, Attach attach);
    // Takes `node` (and first, for Scope::Subtree, its subtree) out of the
    // drawing set.
    void RemoveNode(const HierarchyNodePtr& node, Scope scope, Detach detach, Rejoin rejoin);
    // Takes every node out of the scene and empties the scheduled queue.
    void DetachAll();
    // Expires every node whose layer lies in [lowest, highest] together with its
    // direct children, and drops such nodes from the scheduled queue.
    void ClearLayers(int32_t lowest, int32_t highest);
    // At `timeMs` (on the node's timer) does `action`; a clone with a lifetime
    // lives that long from `timeMs`.
    void Schedule(const HierarchyNodePtr& node, int64_t timeMs, ScheduleAction action);
    void ProcessScheduled();

    // The update step: scheduled nodes, updates, removal of expired nodes.
    void UpdateNodes();
    // Ends a frame's update, after every task ran: the nodes whose drawing key
    // changed go back into the drawing set, and the nodes that left are let go.
    void EndStep();
    // Draws every visible, living node in order on `platform` (nothing when
    // it is null: a frame that draws nothing) and changes nothing in the
    // scene; returns how many were drawn.
    int Draw(Platform* platform);
    // Draws as Draw does, but changes nothing in the scene.
    int DrawNodes(Platform& platform);

    size_t GetDrawnNodeCount() const { return m_drawSet.size(); }
    size_t GetPendingNodeCount() const { return m_pending.size(); }
    size_t GetScheduledCount() const { return m_scheduled.size(); }
    // Nodes drawn by the last Draw.
    int GetLastDrawCount() const { return m_lastDrawCount; }
    // The drawing set in order (for tests and tools).
    template <class Fn>
    void ForEachDrawn(Fn&& fn) const
    {
        for (const HierarchyNodePtr& node : m_drawSet) {
            fn(*node);
        }
    }

private:
    struct DrawOrder {
        bool operator()(const HierarchyNodePtr& a, const HierarchyNodePtr& b) const;
    };
    struct ScheduledEntry {
        HierarchyNodePtr node;
        bool remove = false;
    };

    // The drawing set in order, as a flat list rebuilt only after the set
    // changed: the scene update and the draw walk it instead of the tree. It
    // holds plain pointers; a node leaving the set waits in the graveyard
    // until the walk that may still reach it is over.
    const std::vector<HierarchyNode*>& OrderedNodes();
    void AttachPending();
    void BuryRemoved();

    std::set<HierarchyNodePtr, DrawOrder> m_drawSet;
    std::vector<HierarchyNode*> m_ordered;
    std::vector<HierarchyNodePtr> m_graveyard;
    bool m_orderedDirty = true;
    uint64_t m_drawSequence = 0; // the last number a node got on its first attach
    std::vector<HierarchyNodePtr> m_pending;
    std::multimap<int64_t, ScheduledEntry> m_scheduled;
    // Snapshot of the pending list for the scene update, kept to reuse its storage.
    std::vector<HierarchyNodePtr> m_pendingSnapshot;
    int m_lastDrawCount = 0;
};

// Puts `node` and its children on the game timer (a paused game freezes
// them) and into the scene; on `layer` when given.
void AddGameNode(const SceneNodePtr& node);
void AddGameNode(const SceneNodePtr& node, int32_t layer);

} // namespace tsv
