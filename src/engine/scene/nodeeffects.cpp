// SceneNode's per-frame effects: keyframes, motion, noise, trail and emitting.

#include "engine/core/random.h"
#include "engine/scene/scenemanager.h"
#include "engine/scene/scenenode.h"

#include <algorithm>
#include <cmath>

namespace tsv {

namespace {

enum EChannel { ChannelPosition = 0, ChannelRotation, ChannelScale, ChannelColor, ChannelCount };

bool Sets(const Keyframe& keyframe, int channel)
{
    switch (channel) {
    case ChannelPosition: return keyframe.hasPosition;
    case ChannelRotation: return keyframe.hasRotation;
    case ChannelScale: return keyframe.hasScale;
    default: return keyframe.hasColor;
    }
}

float Lerp(float a, float b, int64_t t, int64_t span)
{
    return a + (b - a) * static_cast<float>(t) / static_cast<float>(span);
}

// Per byte, integer arithmetic, quotient toward zero.
uint32_t LerpColor(uint32_t a, uint32_t b, int64_t t, int64_t span)
{
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int64_t from = (a >> shift) & 0xFF, to = (b >> shift) & 0xFF;
        const int64_t value = from + (to - from) * t / span;
        out |= static_cast<uint32_t>(std::clamp<int64_t>(value, 0, 255)) << shift;
    }
    return out;
}

SceneNode* AsSceneNode(HierarchyNode* node) { return dynamic_cast<SceneNode*>(node); }

float Length(const Vec3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

// A random direction in the drawing plane; z stays 0 because z is the drawing depth.
Vec3 RandomDirection()
{
    Vec3 v;
    do {
        v.x = static_cast<float>(Random() % 1000 - 500);
        v.y = static_cast<float>(Random() % 1000 - 500);
    } while (Length(v) < 0.000001f);
    return v;
}

Vec3 Scaled(const Vec3& direction, float length)
{
    const float l = Length(direction);
    if (l < 0.000001f) {
        return {};
    }
    return {direction.x / l * length, direction.y / l * length, direction.z / l * length};
}

// A late frame spawns for every interval it missed, but never more than this.
constexpr int kMaxSpawnsPerFrame = 1000;
// Emitters stop spawning while the scene holds this many nodes; the game
// itself needs a few thousand at most.
constexpr size_t kMaxSceneNodes = 60000;

EmitterSoundHook& SoundHook()
{
    static EmitterSoundHook s_hook;
    return s_hook;
}

} // namespace

void SetEmitterSoundHook(EmitterSoundHook hook) { SoundHook() = std::move(hook); }
const EmitterSoundHook& GetEmitterSoundHook() { return SoundHook(); }

// --- Keyframes ---------------------------------------------------------------

void SceneNode::AddKeyframe(const KeyframePtr& keyframe)
{
    if (!keyframe) {
        return;
    }
    // Files list keyframes in time order: appending and marking the new
    // keyframe's channels keeps loading them linear.
    if (m_keyframes.empty() || m_keyframes.back()->time <= keyframe->time) {
        m_keyframes.push_back(keyframe);
        for (int c = 0; c < ChannelCount; ++c) {
            m_channels[c].used = m_channels[c].used || Sets(*keyframe, c);
        }
        return;
    }
    auto at = std::upper_bound(m_keyframes.begin(), m_keyframes.end(), keyframe->time,
                               [](int64_t time, const KeyframePtr& k) { return time < k->time; });
    m_keyframes.insert(at, keyframe);
    RecomputeKeyframeChannels();
}

void SceneNode::RemoveKeyframe(const KeyframePtr& keyframe)
{
    m_keyframes.erase(std::remove(m_keyframes.begin(), m_keyframes.end(), keyframe), m_keyframes.end());
    RecomputeKeyframeChannels();
}

void SceneNode::ClearKeyframes()
{
    m_keyframes.clear();
    RecomputeKeyframeChannels();
}

void SceneNode::RecomputeKeyframeChannels()
{
    for (int c = 0; c < ChannelCount; ++c) {
        m_channels[c].used = std::any_of(m_keyframes.begin(), m_keyframes.end(),
                                         [c](const KeyframePtr& k) { return Sets(*k, c); });
        if (!m_channels[c].used) {
            m_channels[c].startTime = 0;
        }
    }
}

void SceneNode::SetAlphaFade(bool on, int64_t startMs, int64_t endMs, uint8_t fromAlpha, uint8_t toAlpha)
{
    for (auto it = m_keyframes.begin(); it != m_keyframes.end();) {
        Keyframe& k = **it;
        k.hasColor = false;
        if (!k.hasPosition && !k.hasRotation && !k.hasScale) {
            it = m_keyframes.erase(it);
        } else {
            ++it;
        }
    }
    RecomputeKeyframeChannels();
    if (!on) {
        return;
    }
    KeyframePtr from = MakeIntrusive<Keyframe>(startMs);
    from->hasColor = true;
    from->color = (static_cast<uint32_t>(fromAlpha) << 24) | 0x00FFFFFFu;
    KeyframePtr to = MakeIntrusive<Keyframe>(endMs);
    to->hasColor = true;
    to->color = (static_cast<uint32_t>(toAlpha) << 24) | 0x00FFFFFFu;
    AddKeyframe(from);
    AddKeyframe(to);
}

void SceneNode::StepKeyframes(int64_t now)
{
    if (m_keyframes.empty()) {
        return;
    }
    for (int c = 0; c < ChannelCount; ++c) {
        if (m_channels[c].used && m_channels[c].startTime == 0) {
            m_channels[c].startTime = now;
            switch (c) {
            case ChannelPosition: m_startPosition = m_position; break;
            case ChannelRotation: m_startRotation = m_rotation; break;
            case ChannelScale: m_startScale = m_scale; break;
            default: m_startColor = m_mesh.colors[0]; break;
            }
        }
    }

    const Keyframe* target[ChannelCount] = {};
    int targetsWanted = 0;
    for (int c = 0; c < ChannelCount; ++c) {
        targetsWanted += m_channels[c].used ? 1 : 0;
    }
    bool anyPassed = false;
    for (const KeyframePtr& keyframe : m_keyframes) {
        Keyframe& k = *keyframe;
        if (k.time <= now) {
            if (k.time > m_lastKeyframeTime || m_lastKeyframeTime < 0) {
                // Reached: the next segment of each channel it sets starts here.
                if (k.hasPosition) {
                    m_channels[ChannelPosition].startTime = k.time;
                    m_startPosition = k.position;
                }
                if (k.hasRotation) {
                    m_channels[ChannelRotation].startTime = k.time;
                    m_startRotation = k.rotation;
                }
                if (k.hasScale) {
                    m_channels[ChannelScale].startTime = k.time;
                    m_startScale = k.scale;
                }
                if (k.hasColor) {
                    m_channels[ChannelColor].startTime = k.time;
                    m_startColor = k.color;
                }
                m_lastKeyframeTime = k.time;
            }
            k.passed = true;
            anyPassed = true;
            continue;
        }
        for (int c = 0; c < ChannelCount; ++c) {
            if (m_channels[c].used && !target[c] && Sets(k, c)) {
                target[c] = &k;
                --targetsWanted;
            }
        }
        if (targetsWanted <= 0) {
            break;
        }
    }

    if (m_channels[ChannelPosition].used) {
        Vec3 p = m_startPosition;
        if (const Keyframe* k = target[ChannelPosition]) {
            const int64_t ta = m_channels[ChannelPosition].startTime, span = k->time - ta, t = now - ta;
            p = {Lerp(p.x, k->position.x, t, span), Lerp(p.y, k->position.y, t, span),
                 Lerp(p.z, k->position.z, t, span)};
        }
        SetPosition(p, Transform::Now);
    }
    if (m_channels[ChannelRotation].used) {
        float r = m_startRotation;
        if (const Keyframe* k = target[ChannelRotation]) {
            const int64_t ta = m_channels[ChannelRotation].startTime;
            r = Lerp(r, k->rotation, now - ta, k->time - ta);
        }
        SetRotation(r, Transform::Now);
    }
    if (m_channels[ChannelScale].used) {
        Vec2 s = m_startScale;
        if (const Keyframe* k = target[ChannelScale]) {
            const int64_t ta = m_channels[ChannelScale].startTime;
            s = {Lerp(s.x, k->scale.x, now - ta, k->time - ta), Lerp(s.y, k->scale.y, now - ta, k->time - ta)};
        }
        SetScale(s.x, s.y, Transform::Now);
    }
    if (m_channels[ChannelColor].used) {
        uint32_t color = m_startColor;
        if (const Keyframe* k = target[ChannelColor]) {
            const int64_t ta = m_channels[ChannelColor].startTime;
            color = LerpColor(color, k->color, now - ta, k->time - ta);
        }
        SetColor(color);
    }

    if (anyPassed) {
        m_keyframes.erase(std::remove_if(m_keyframes.begin(), m_keyframes.end(),
                                         [](const KeyframePtr& k) { return k->passed; }),
                          m_keyframes.end());
        RecomputeKeyframeChannels();
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

void SceneNode::SetTurning(int mode, float rate)
{
    m_motion.turningMode = mode;
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
            if (m_motion.turningMode == 1) {
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
    const bool wasEmitter = IsEmitter();
    if (GetScene() && !wasEmitter) {
        // Being an emitter is part of the drawing order.
        GetScene()->RemoveNode(HierarchyNodePtr(this), Scope::Node, Detach::Now, Rejoin::NextDraw);
    }
    m_emitter = std::make_unique<EmitterDesc>(emitter);
}

void SceneNode::StartEmitter() { m_lastSpawn = 0; }

void SceneNode::StepEmitter(int64_t now)
{
    const int32_t interval = m_emitter->spawnRateMs;
    if (interval <= 0) {
        return;
    }
    if (m_lastSpawn == 0) {
        // Attached without being fired: the rate counts from now.
        m_lastSpawn = now;
        return;
    }
    int spawns = 0;
    while (now - m_lastSpawn >= interval && m_emitter) {
        if (++spawns > kMaxSpawnsPerFrame) {
            m_lastSpawn = now;
            break;
        }
        Spawn(SpawnClock::Keep);
        m_lastSpawn += interval;
    }
}

IntrusivePtr<SceneNode> SceneNode::MakeParticle(int64_t now) const
{
    IntrusivePtr<SceneNode> particle(static_cast<SceneNode*>(CloneSelf().Get()));
    particle->m_emitter.reset();
    particle->m_lastSpawn = 0;
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
    if (m_lastSpawn == 0) {
        m_lastSpawn = now - 1;
    }
    const EmitterDesc emitter = *m_emitter; // a particle's update may change this node
    if (SceneManager::Instance().GetDrawnNodeCount() >= kMaxSceneNodes) {
        return;
    }
    if (emitter.spawnRateMs > 0 && emitter.count > 0) {
        const int detail = SceneManager::Instance().GetDetailLevel();
        for (int32_t i = 0; i < emitter.count; ++i) {
            if (emitter.optional && (detail <= 0 || (detail < 10 && Random() % 10 > detail))) {
                continue;
            }
            IntrusivePtr<SceneNode> particle = MakeParticle(now);
            if (emitter.randomVelocity) {
                float speed = Length(m_motion.velocity);
                if (emitter.randomVelocityAmount > 0) {
                    speed += static_cast<float>(Random() % emitter.randomVelocityAmount);
                }
                particle->m_motion.velocity = Scaled(RandomDirection(), speed);
            }
            if (emitter.randomAcceleration) {
                float magnitude = m_motion.accelerations.empty() ? 0.0f : Length(m_motion.accelerations[0]);
                if (emitter.randomAccelerationAmount > 0) {
                    magnitude += static_cast<float>(Random() % emitter.randomAccelerationAmount);
                }
                const Vec3& v = particle->m_motion.velocity;
                const Vec3 direction = Length(v) >= 0.000001f ? v : RandomDirection();
                particle->SetAcceleration(Scaled(direction, magnitude));
            }
            SceneNode* parent = ParentNode();
            if (emitter.attached && parent) {
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
                SceneManager::Instance().AddNode(particle, Scope::Subtree, Attach::Now);
            }
            particle->m_trailStart = particle->m_worldPosition;
            particle->Update();
        }
    }
    if (const EmitterSoundHook& hook = GetEmitterSoundHook(); hook && (!emitter.sound.empty() || !emitter.playlist.empty())) {
        hook(emitter.sound, emitter.playlist);
    }
    if (clock == SpawnClock::Restart || m_lastSpawn == 0) {
        m_lastSpawn = now;
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
        SceneManager::Instance().Schedule(HierarchyNodePtr(this), now + delayMs, ScheduleAction::AttachClone);
        return;
    }
    m_showTime = now + delayMs;
    // Lifetimes count from the moment the node is shown.
    SetExpiry(GetExpiry() == 0 ? m_showTime + kDefaultFireLifetimeMs : GetExpiry() + delayMs);
}

} // namespace tsv
