#include "engine/scene/scenemanager.h"

#include "engine/core/config.h"
#include "engine/core/log.h"
#include "engine/core/util/file/resourcepath.h"
#include "engine/platform/clock.h"
#include "engine/platform/runoptions.h"
#include "engine/runtime/application.h"
#include "engine/scene/scenenode.h"

#include <algorithm>
#include <cstdio>

namespace tsv {

namespace {

class SceneUpdateTask : public Task {
public:
    explicit SceneUpdateTask(SceneManager& scene) : m_scene(scene) {}
    void Run() override
    {
        Platform* platform = m_scene.GetPlatform();
        int64_t now = Application::Instance().GetSystemTimer().GetTime();
        m_scene.UpdateNodes();
        int fps = platform ? platform->TimerGetFPS() : 0;
        m_scene.UpdateDetailLevel(now, fps);
        m_scene.UpdateOverlay(now, fps);
    }

private:
    SceneManager& m_scene;
};

} // namespace

SceneManager::SceneManager() = default;

bool SceneManager::Start()
{
    if (m_platform) {
        return m_initialised;
    }
    Application& app = Application::Instance();
    Config& config = GetConfig();
    const RunOptions& options = GetRunOptions();
    if (options.forceWindowed >= 0) {
        config.fullscreen = options.forceWindowed == 0;
    }

    m_platform = CreatePlatform(options);
    m_resources = std::make_unique<ResourceManager>(*m_platform);

    m_platform->SetFrameFunc([this] { return Frame(); });
    m_platform->SetExitFunc([this] { return OnExit(); });
    m_platform->SetFocusLostFunc([this] { return OnFocusLost(); });
    m_platform->SetFocusGainFunc([this] { return OnFocusGained(); });
    m_platform->SetFullscreenToggleFunc([this] {
        ToggleFullscreen();
        return false;
    });
    // The window's last size is kept for the next start (written with the settings).
    m_platform->SetResizeFunc([](int width, int height) {
        GetConfig().windowWidth = width;
        GetConfig().windowHeight = height;
    });
    m_platform->SetTitle(app.GetWindowTitle());
    m_platform->SetFrameRateLimit(config.maxFps);
    m_platform->SetScreenWidth(config.windowWidth);
    m_platform->SetScreenHeight(config.windowHeight);
    m_platform->SetColourDepth(32);
    m_platform->SetWindowed(!config.fullscreen);
    SetSystemCursor(config.systemCursor);

    m_initialised = m_platform->SystemInitiate();
    if (m_initialised) {
        m_startCounter = ClockCounter();
        app.GetTaskManager().AddTask(IntrusivePtr<Task>(new SceneUpdateTask(*this)), 0);
    } else {
        m_startError = m_platform->SystemGetErrorMessage();
        GetLog() << Fatal << "Failed to initialize HGE: " << m_startError << EndL;
        m_platform->SystemShutdown();
    }
    return m_initialised;
}

SceneManager::~SceneManager()
{
    // Nodes go before the platform whose sprites they hold.
    DetachAll();
    m_script.reset();
    m_texturesByPath.clear();
    if (m_resources) {
        m_resources->Purge();
    }
    if (m_platform && m_initialised) {
        m_platform->SystemShutdown();
    }
}

void SceneManager::Run()
{
    if (m_initialised) {
        m_platform->SystemStart();
    }
}

void SceneManager::SetWindowed(bool windowed)
{
    GetConfig().fullscreen = !windowed;
    if (m_platform->GetWindowed() != windowed) {
        m_platform->SetWindowed(windowed);
    }
}

void SceneManager::ToggleFullscreen()
{
    const bool windowed = !m_platform->GetWindowed();
    SetWindowed(windowed);
    ConfigHolder::Instance().Save();
    GetLog() << Hint << (windowed ? "Windowed mode" : "Full screen mode") << EndL;
}

void SceneManager::SetSystemCursor(bool show)
{
    GetConfig().systemCursor = show;
    if (m_platform->GetHideMouse() == show) {
        m_platform->SetHideMouse(!show);
        float x = 0, y = 0;
        m_platform->InputGetMousePos(x, y);
        m_platform->InputSetMousePos(x, y);
    }
}

TextureHandle SceneManager::GetTexture(const std::string& path)
{
    if (!m_resources) {
        return 0;
    }
    // Resolving a path asks the file system; every glyph of a text asks for its
    // font's texture, so known paths are answered from memory.
    auto known = m_texturesByPath.find(path);
    if (known != m_texturesByPath.end()) {
        return known->second;
    }
    const TextureHandle texture = m_resources->GetTexture(ResolveResourcePath(path));
    if (texture) {
        m_texturesByPath.emplace(path, texture);
    }
    return texture;
}

void SceneManager::SetScript(std::vector<ScriptCommand> commands)
{
    m_script = std::make_unique<ScriptPlayer>(*m_platform, std::move(commands));
}

bool SceneManager::Frame()
{
    if (m_script) {
        double ms = static_cast<double>(ClockCounter() - m_startCounter) * 1000.0 / ClockFrequency();
        m_script->Apply(static_cast<int64_t>(ms + 0.5));
    }
    BeginFrame();
    DrawScene();
    EndFrame();
    bool more = Application::Instance().GetTaskManager().Execute();
    if (m_frameEndHook) {
        m_frameEndHook();
    }
    ++m_frameCount;
    const RunOptions& options = GetRunOptions();
    if (options.frames >= 0 && m_frameCount == options.frames) {
        Application::Instance().Exit(0);
    }
    return !more;
}

void SceneManager::BeginFrame()
{
    // A run without drawing (--no-render) still attaches and expires nodes,
    // but computes no corners.
    m_drawing = m_platform->GfxBeginScene();
    m_platform->GfxClear(0);
}

bool SceneManager::DrawOrder::operator()(const HierarchyNodePtr& a, const HierarchyNodePtr& b) const
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

void SceneManager::DrawScene()
{
    AttachPending();

    m_drawCount = 0;
    if (!m_drawing) {
        m_lastDrawCount = 0;
        BuryRemoved();
        return;
    }
    m_drawCount = DrawNodes();
    m_lastDrawCount = m_drawCount;
    BuryRemoved();
}

void SceneManager::AttachPending()
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

int SceneManager::DrawNodes()
{
    int drawn = 0;
    for (HierarchyNode* node : OrderedNodes()) {
        if (!node->m_drawKey.visible || node->m_drawKey.emitter) {
            break;
        }
        if (node->IsAlive()) {
            node->Draw(*m_platform);
            ++drawn;
        }
    }
    return drawn;
}

bool SceneManager::DrawOffscreen(std::vector<uint32_t>& argb)
{
    AttachPending(); // as the frame's own draw would
    if (!m_platform || !m_platform->GfxBeginScene()) {
        return false;
    }
    m_platform->GfxClear(0);
    DrawNodes();
    return m_platform->GfxReadFrame(argb);
}

bool SceneManager::AddNode(const HierarchyNodePtr& node, Scope scope, Attach attach)
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

void SceneManager::RemoveNode(const HierarchyNodePtr& nodeRef, Scope scope, Detach detach, Rejoin rejoin)
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
        if (rejoin == Rejoin::NextDraw) {
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

void SceneManager::DetachAll()
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

const std::vector<HierarchyNode*>& SceneManager::OrderedNodes()
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

void SceneManager::BuryRemoved()
{
    // Swapped out first: releasing may destroy nodes whose destructors touch the scene again.
    std::vector<HierarchyNodePtr> removed;
    removed.swap(m_graveyard);
}

void SceneManager::UpdateNodes()
{
    ProcessScheduled();
    // The ordered list is the snapshot of the set: changes during the step
    // only mark it for rebuilding, which waits for the next draw.
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

void SceneManager::ClearLayers(int32_t lowest, int32_t highest)
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

void SceneManager::Schedule(const HierarchyNodePtr& node, int64_t timeMs, ScheduleAction action)
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

void SceneManager::ProcessScheduled()
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

void SceneManager::EndFrame() { m_platform->GfxEndScene(); }

bool SceneManager::OnExit()
{
    Application::Instance().Exit(0);
    return false;
}

bool SceneManager::OnFocusLost()
{
    for (const FocusHook& hook : m_focusHooks) {
        hook(false);
    }
    Application& app = Application::Instance();
    m_systemTimerWasRunning = app.GetSystemTimer().IsRunning();
    m_gameTimerWasRunning = app.GetTimer().IsRunning();
    app.GetSystemTimer().SetRunning(false);
    app.GetTimer().SetRunning(false);
    return false;
}

bool SceneManager::OnFocusGained()
{
    for (const FocusHook& hook : m_focusHooks) {
        hook(true);
    }
    Application& app = Application::Instance();
    app.GetSystemTimer().SetRunning(m_systemTimerWasRunning);
    app.GetTimer().SetRunning(m_gameTimerWasRunning);
    return false;
}

void SceneManager::UpdateDetailLevel(int64_t nowMs, int fps) { m_detail.Update(nowMs, fps); }

std::string SceneManager::OverlayText(int fps) const
{
    char text[160];
    std::snprintf(text, sizeof text, "Detail: %d, FPS: %d, nodes: %d+%d/%d, screens: %d, tasks: %d", m_detail.Get(),
                  fps, static_cast<int>(m_drawSet.size()), static_cast<int>(m_pending.size()),
                  SceneNode::GetInstanceCount(), m_screenCount ? m_screenCount() : 0,
                  static_cast<int>(Application::Instance().GetTaskManager().Count()));
    return text;
}

void SceneManager::UpdateOverlay(int64_t nowMs, int fps)
{
    if (nowMs - m_lastOverlay <= 300 || !GetConfig().debugInfo) {
        return;
    }
    m_lastOverlay = nowMs;
    // Until the language provides a font, the overlay goes to the log.
    GetLog() << Hint << OverlayText(fps) << EndL;
}

void AddGameNode(const SceneNodePtr& node)
{
    node->SetTimer(IntrusivePtr<Timer>(&Application::Instance().GetTimer()), Scope::Subtree, Reassign::Quiet);
    SceneManager::Instance().AddNode(node, Scope::Subtree, Attach::Now);
}

void AddGameNode(const SceneNodePtr& node, int32_t layer)
{
    node->SetTimer(IntrusivePtr<Timer>(&Application::Instance().GetTimer()), Scope::Subtree, Reassign::Quiet);
    node->SetLayer(layer, Scope::Subtree);
    SceneManager::Instance().AddNode(node, Scope::Subtree, Attach::Now);
}

} // namespace tsv
