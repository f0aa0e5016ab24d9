#pragma once
// Owns the platform: initialises it from the configuration, runs the frame loop
// (draw the scene, then run the tasks) and keeps the adaptive detail level.

#include "engine/core/accesspoint.h"
#include "engine/platform/platform.h"
#include "engine/platform/resourcemanager.h"
#include "engine/scene/detaillevel.h"
#include "engine/scene/hierarchynode.h"
#include "engine/scene/scenenode.h"
#include "engine/scene/scriptplayer.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace tsv {

// Whether AddNode attaches the node itself; with Skip only a Scope::Subtree
// call does anything, to the descendants.
enum class Attach { Skip, Now };
// Whether a node taken out of the drawing set waits on the pending list to
// re-enter at the next draw (its drawing key changed) or is gone for good.
enum class Rejoin { Never, NextDraw };
// What a scheduled entry does at its time: attach a deep clone of the node, or
// take the node itself out of the scene.
enum class ScheduleAction { AttachClone, Remove };

class SceneManager : public AccessPoint<SceneManager> {
public:
    static constexpr const char* kPartName = "the scene";
    SceneManager();
    virtual ~SceneManager();

    // Opens the window and the renderer as the configuration and the run's
    // options ask; false when the platform cannot start (GetStartError says
    // why, and the log has it).
    bool Start();
    bool IsInitialised() const { return m_initialised; }
    const std::string& GetStartError() const { return m_startError; }
    // Runs the platform's main loop until the task list has drained.
    void Run();
    void SetWindowed(bool windowed);
    // F11 and Alt+Return: the other display mode, written to the settings at once.
    void ToggleFullscreen();
    void SetSystemCursor(bool show);

    Platform* GetPlatform() const { return m_platform.get(); }
    ResourceManager* GetResources() const { return m_resources.get(); }
    // Texture by resource path, loaded once; 0 when it cannot be loaded.
    TextureHandle GetTexture(const std::string& path);

    // 0..10: how much optional visual work the frame rate allows.
    int GetDetailLevel() const { return m_detail.Get(); }
    int64_t GetFrameCount() const { return m_frameCount; }

    // Plays scripted input from the next frame on.
    void SetScript(std::vector<ScriptCommand> commands);

    // The frame function and the platform's event callbacks.
    virtual bool Frame();
    bool OnExit();
    bool OnFocusLost();
    bool OnFocusGained();

    // Work of the scene update task: detail level and the debug overlay.
    void UpdateDetailLevel(int64_t nowMs, int fps);
    void UpdateOverlay(int64_t nowMs, int fps);
    // The overlay text for the current counts.
    std::string OverlayText(int fps) const;

    // Focus changes also silence and restore the sound groups and pause a
    // level in play; the layers above plug in here, called in the order added.
    using FocusHook = std::function<void(bool focused)>;
    void AddFocusHook(FocusHook hook) { m_focusHooks.push_back(std::move(hook)); }
    // Called at the end of every frame, after the tasks (the sound layer renders there).
    using FrameEndHook = std::function<void()>;
    void SetFrameEndHook(FrameEndHook hook) { m_frameEndHook = std::move(hook); }
    // Counts shown by the overlay that belong to other layers.
    using CountFn = std::function<int()>;
    void SetScreenCountFn(CountFn fn) { m_screenCount = std::move(fn); }

    virtual void BeginFrame();
    // Attaches the pending nodes, then draws the drawing set in order.
    virtual void DrawScene();
    virtual void EndFrame();
    // Draws the scene as it stands into `argb` (see Platform::GfxReadFrame),
    // without presenting it and without changing the scene: a check can
    // compare the frame with and without some nodes. False when nothing draws.
    bool DrawOffscreen(std::vector<uint32_t>& argb);
    // Attaches `node` (and first, for Scope::Subtree, its subtree) to the scene.
    virtual bool AddNode(const HierarchyNodePtr& node, Scope scope, Attach attach);
    // Takes `node` (and first, for Scope::Subtree, its subtree) out of the
    // drawing set.
    virtual void RemoveNode(const HierarchyNodePtr& node, Scope scope, Detach detach, Rejoin rejoin);

    // The node steps of the scene update: scheduled nodes, updates, removal of
    // expired nodes.
    void UpdateNodes();
    // Expires every node whose layer lies in [lowest, highest] together with its
    // direct children, and drops such nodes from the scheduled queue.
    void ClearLayers(int32_t lowest, int32_t highest);
    // At `timeMs` (on the node's timer) does `action`; a clone with a lifetime
    // lives that long from `timeMs`.
    void Schedule(const HierarchyNodePtr& node, int64_t timeMs, ScheduleAction action);
    void ProcessScheduled();

    // Takes every node out of the scene and empties the scheduled queue.
    void DetachAll();

    size_t GetDrawnNodeCount() const { return m_drawSet.size(); }
    size_t GetPendingNodeCount() const { return m_pending.size(); }
    size_t GetScheduledCount() const { return m_scheduled.size(); }
    // Nodes drawn by the last DrawScene.
    int GetLastDrawCount() const { return m_lastDrawCount; }
    // The drawing set in order (for tests and tools).
    template <class Fn>
    void ForEachDrawn(Fn&& fn) const
    {
        for (const HierarchyNodePtr& node : m_drawSet) {
            fn(*node);
        }
    }

    SceneManager(const SceneManager&) = delete;
    SceneManager& operator=(const SceneManager&) = delete;

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
    void BuryRemoved();
    // Nodes whose drawing key changed wait in the pending list until the next
    // draw puts them back into the set.
    void AttachPending();
    // Draws every visible, living node in order; returns how many.
    int DrawNodes();

    std::set<HierarchyNodePtr, DrawOrder> m_drawSet;
    std::vector<HierarchyNode*> m_ordered;
    std::vector<HierarchyNodePtr> m_graveyard;
    bool m_orderedDirty = true;
    uint64_t m_drawSequence = 0; // the last number a node got on its first attach
    std::vector<HierarchyNodePtr> m_pending;
    std::multimap<int64_t, ScheduledEntry> m_scheduled;
    // Snapshot of the pending list for the scene update, kept to reuse its storage.
    std::vector<HierarchyNodePtr> m_pendingSnapshot;
    int m_drawCount = 0;
    int m_lastDrawCount = 0;

    std::unique_ptr<Platform> m_platform;
    std::unique_ptr<ResourceManager> m_resources;
    std::unordered_map<std::string, TextureHandle> m_texturesByPath; // by resource path, as asked for
    std::unique_ptr<ScriptPlayer> m_script;
    bool m_initialised = false;
    std::string m_startError;
    DetailLevel m_detail;
    bool m_drawing = true; // false while the platform draws nothing
    int64_t m_lastOverlay = 0;
    int64_t m_frameCount = 0;
    uint64_t m_startCounter = 0;
    bool m_systemTimerWasRunning = true;
    bool m_gameTimerWasRunning = true;
    std::vector<FocusHook> m_focusHooks;
    FrameEndHook m_frameEndHook;
    CountFn m_screenCount;
};

// Puts `node` and its children on the game timer (a paused game freezes
// them) and into the scene; on `layer` when given.
void AddGameNode(const SceneNodePtr& node);
void AddGameNode(const SceneNodePtr& node, int32_t layer);

} // namespace tsv
