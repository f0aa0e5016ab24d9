// SceneNode's per-frame effects: motion, noise and trail, and its side of
// keyframes and emitting (applying the track's pose, placing the particles).

#include "engine/core/random.h"
#include "engine/scene/frameloop.h"
#include "engine/scene/scenenode.h"

#include <algorithm>
#include <cmath>

namespace tsv {

namespace {

SceneNode* AsSceneNode(HierarchyNode* node) { return dynamic_cast<SceneNode*>(node); }

// Emitters stop spawning while the scene holds this many nodes; the game
// itself needs a few thousand at most.
constexpr size_t kMaxSceneNodes = 60000;

} // namespace

// --- Keyframes -----------------------------------------------------------------

void SceneNode::StepKeyframes(int64_t now)
{
    if (m_keyframes.IsEmpty()) {
        return;
    }
    const KeyframePose current{m_position, m_rotation, m_scale, m_mesh.colors[0]};
    KeyframePose pose;
    const unsigned set = m_keyframes.Step(now, current, pose);
    using EChannel = KeyframeTrack::EChannel;
    const auto sets = [set](EChannel channel) { return (set & KeyframeTrack::ChannelBit(channel)) != 0; };
    if (sets(EChannel::Position)) {
        SetPosition(pose.position, Transform::Now);
    }
    if (sets(EChannel::Rotation)) {
        SetRotation(pose.rotation, Transform::Now);
    }
    if (sets(EChannel::Scale)) {
        SetScale(pose.scale.x, pose.scale.y, Transform::Now);
    }
    if (sets(EChannel::Color)) {
        SetColor(pose.color);
    }
}

// --- Motion --------------------------------------------------------------------

void SceneNode::SetAcceleration(const Vec3& acceleration)
{
    if (m_motion.accelerations.empty()) {
        m_motion.accelerations.push_back(acceleration);
    } else {
        m_motion.accelerations[0] = acceleration;
    }
}

void SceneNode::SetTurning(Turning turning, float rate)
{
    m_motion.turning = turning;
    m_motion.turningRate = rate;
    m_motion.turningStart = GetTime();
}

void SceneNode::StepMotion(int64_t now)
{
    if (m_motion.lastTime != 0 && m_motion.IsActive()) {
        const float dt = static_cast<float>(now - m_motion.lastTime) * 0.001f;
        Vec3& v = m_motion.velocity;
        for (const Vec3& a : m_motion.accelerations) {
            v.x += a.x * dt;
            v.y += a.y * dt;
            v.z += a.z * dt;
        }
        SetPosition({m_position.x + v.x * dt, m_position.y + v.y * dt, m_position.z + v.z * dt}, Transform::Now);
        if (m_motion.turningRate != 0) {
            float angle = m_motion.turningRate * dt;
            if (m_motion.turning == Turning::Weaving) {
                const float t = static_cast<float>(now - m_motion.turningStart);
                angle = std::sin(2.0f * static_cast<float>(M_PI) * 0.001f * t) * m_motion.turningRate;
            }
            const float c = std::cos(angle), s = std::sin(angle);
            v = {c * v.x - s * v.y, s * v.x + c * v.y, v.z};
        }
    }
    m_motion.lastTime = now;
}

// --- Noise ---------------------------------------------------------------------

void SceneNode::SetNoise(const Noise& noise)
{
    RemoveNoise();
    m_noise = std::make_unique<Noise>(noise);
    m_noise->active = false;
}

void SceneNode::RemoveNoise() { m_noise.reset(); }

void SceneNode::StepNoise(int64_t now)
{
    if (!m_noise) {
        return;
    }
    Noise& n = *m_noise;
    if (n.timeEnd != 0 && now >= n.timeEnd) {
        RemoveNoise();
        return;
    }
    if (now < n.timeBegin) {
        return;
    }
    if (n.lastJitter + n.period < now) {
        const auto draw = [](float amplitude) {
            return static_cast<float>(Random() % 10000) * amplitude * 0.0001f;
        };
        n.positionOffset = {draw(n.positionAmplitude.x) - n.positionAmplitude.x * 0.5f,
                            draw(n.positionAmplitude.y) - n.positionAmplitude.y * 0.5f,
                            draw(n.positionAmplitude.z) - n.positionAmplitude.z * 0.5f};
        n.scaleOffset = {draw(n.scaleAmplitude.x), draw(n.scaleAmplitude.y)};
        n.lastJitter = now;
    }
    // The base is what motion and keyframes made of the node this frame; the
    // next update restores it before they run again.
    n.basePosition = m_position;
    n.baseScale = m_scale;
    n.active = true;
    SetPosition({m_position.x + n.positionOffset.x, m_position.y + n.positionOffset.y,
                 m_position.z + n.positionOffset.z},
                Transform::Now);
    SetScale(m_scale.x + n.scaleOffset.x, m_scale.y + n.scaleOffset.y, Transform::Now);
}

// --- Trail ---------------------------------------------------------------------

void SceneNode::SetTrail(const IntrusivePtr<SceneNode>& trailNode, float length)
{
    if (m_trailNode) {
        RemoveChild(m_trailNode, Detach::Now);
        m_trailNode = nullptr;
    }
    m_hasTrail = true;
    m_trailLength = length;
    m_trailPrototype = trailNode;
    m_trailStart = m_worldPosition;
    MakeTrailNode();
}

void SceneNode::MakeTrailNode()
{
    if (!m_hasTrail || !m_trailPrototype) {
        return;
    }
    IntrusivePtr<SceneNode> trail(static_cast<SceneNode*>(m_trailPrototype->Clone(Scope::Subtree).Get()));
    m_trailNode = trail.Get();
    AddChild(trail);
}

void SceneNode::StepTrail()
{
    if (!m_trailNode) {
        return;
    }
    const float dx = m_worldPosition.x - m_trailStart.x, dy = m_worldPosition.y - m_trailStart.y;
    const float length = std::min(std::sqrt(dx * dx + dy * dy), m_trailLength);
    const float sx = m_worldScale.x != 0 ? 1.0f / m_worldScale.x : 1.0f;
    const float sy = m_worldScale.y != 0 ? length / m_worldScale.y : length;
    m_trailNode->SetScale(sx, sy, Transform::Later);
    m_trailNode->SetRotation(std::atan2(dy, dx) - static_cast<float>(M_PI / 2) - m_worldRotation, Transform::Now);
}

// --- Emitter -------------------------------------------------------------------

void SceneNode::SetEmitter(const EmitterDesc& emitter)
{
    if (m_emitter) {
        m_emitter->SetDesc(emitter);
        return;
    }
    if (GetScene()) {
        // Being an emitter is part of the drawing order.
        GetScene()->RemoveNode(HierarchyNodePtr(this), Scope::Node, Detach::Now, Rejoin::AtStepEnd);
    }
    m_emitter = std::make_unique<ParticleEmitter>(emitter);
}

void SceneNode::StepEmitter(int64_t now)
{
    const int spawns = m_emitter->TakeDueSpawns(now);
    // A particle's update may take the emitter away.
    for (int i = 0; i < spawns && m_emitter; ++i) {
        Spawn(SpawnClock::Keep);
    }
}

IntrusivePtr<SceneNode> SceneNode::MakeParticle(int64_t now) const
{
    IntrusivePtr<SceneNode> particle(static_cast<SceneNode*>(CloneSelf().Get()));
    particle->m_emitter.reset();
    particle->m_showTime = 0;
    particle->SetVisible(true, Scope::Subtree);
    particle->ShiftTime(now, Scope::Subtree);
    particle->m_motion.lastTime = 0;
    particle->m_animationStepTime = 0;
    return particle;
}

void SceneNode::Spawn(SpawnClock clock)
{
    if (!m_emitter) {
        return;
    }
    const int64_t now = GetTime();
    m_emitter->BeginSpawn(now);
    const ParticleEmitter emitter = *m_emitter; // a particle's update may change this node
    const EmitterDesc& desc = emitter.GetDesc();
    if (Scene::Instance().GetDrawnNodeCount() >= kMaxSceneNodes) {
        return;
    }
    if (desc.spawnRateMs > 0 && desc.count > 0) {
        const int detail = FrameLoop::Instance().GetDetailLevel();
        for (int32_t i = 0; i < desc.count; ++i) {
            if (!emitter.KeepsParticle(detail)) {
                continue;
            }
            IntrusivePtr<SceneNode> particle = MakeParticle(now);
            if (desc.randomVelocity) {
                particle->m_motion.velocity = emitter.ParticleVelocity(m_motion.velocity);
            }
            if (desc.randomAcceleration) {
                const Vec3 first = m_motion.accelerations.empty() ? Vec3{} : m_motion.accelerations[0];
                particle->SetAcceleration(emitter.ParticleAcceleration(first, particle->m_motion.velocity));
            }
            SceneNode* parent = ParentNode();
            if (desc.attached && parent) {
                if (SceneNode* grandparent = AsSceneNode(parent->GetParent())) {
                    particle->m_position = parent->m_position;
                    particle->m_scale = parent->m_scale;
                    grandparent->AddChild(particle);
                } else {
                    parent->AddChild(particle);
                }
            } else {
                particle->m_position = m_worldPosition;
                particle->m_rotation = m_worldRotation;
                particle->m_scale = m_worldScale;
                particle->UpdateWorldTransform();
                Scene::Instance().AddNode(particle, Scope::Subtree, Attach::Now);
            }
            particle->m_trailStart = particle->m_worldPosition;
            particle->Update();
        }
    }
    emitter.AnnounceSpawn();
    if (m_emitter) {
        m_emitter->EndSpawn(now, clock);
    }
}

void SceneNode::Fire(int64_t delayMs, FireDelay delay)
{
    const int64_t now = GetTime();
    if (delayMs <= 0) {
        m_showTime = 0;
        Spawn(SpawnClock::Restart);
        if (GetChildren()) {
            IntrusivePtr<Children> hold = GetChildren();
            for (const HierarchyNodePtr& child : hold->nodes) {
                if (SceneNode* node = AsSceneNode(child.Get())) {
                    node->Spawn(SpawnClock::Restart);
                }
            }
        }
        return;
    }
    if (delay == FireDelay::Scheduled) {
        Scene::Instance().Schedule(HierarchyNodePtr(this), now + delayMs, ScheduleAction::AttachClone);
        return;
    }
    m_showTime = now + delayMs;
    // Lifetimes count from the moment the node is shown.
    SetExpiry(GetExpiry() == 0 ? m_showTime + kDefaultFireLifetimeMs : GetExpiry() + delayMs);
}

} // namespace tsv
