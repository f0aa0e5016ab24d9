#pragma once
// The concrete node everything on screen is made of: a local and a world
// transform, layer, visibility, a sprite from texture + mesh + frame animation,
// and the per-frame effects (keyframes, motion, noise, trail, emitting). The
// keyframes are a KeyframeTrack and the emitting a ParticleEmitter, both owned
// by the node.

#include "engine/platform/sprite.h"
#include "engine/scene/hierarchynode.h"
#include "engine/scene/keyframetrack.h"
#include "engine/core/mesh.h"
#include "engine/scene/motion.h"
#include "engine/scene/particleemitter.h"

#include <memory>
#include <string>
#include <vector>

namespace tsv {

// A node fired with a delay and no lifetime of its own lives this long once shown.
inline constexpr int64_t kDefaultFireLifetimeMs = 5000;

// Whether a transform setter recomputes the world transform of the subtree now
// or leaves that to a later call.
enum class Transform { Later, Now };
// Who shows a node fired with a delay: its own update, or the scene, which
// attaches a clone at the time.
enum class FireDelay { OnNode, Scheduled };

class SceneNode;
using SceneNodePtr = IntrusivePtr<SceneNode>;

class SceneNode : public HierarchyNode {
public:
    SceneNode();
    SceneNode(const SceneNode& other);
    ~SceneNode() override;

    // Number of SceneNode objects alive in the process.
    static int GetInstanceCount();

    // HierarchyNode
    void Update() override;
    IntrusivePtr<HierarchyNode> CloneSelf() const override;
    // Deep copies leave out the trail child: each copy makes its own from the trail's prototype.
    IntrusivePtr<HierarchyNode> Clone(Scope scope) const override;
    void ShiftTime(int64_t deltaMs, Scope scope) override;
    bool IsEmitter() const override { return m_emitter != nullptr; }
    DrawKey GetDrawKey() const override;
    void Draw(Platform& platform) override;

    // Transform.
    void SetPosition(const Vec3& position, Transform update = Transform::Now);
    void SetRotation(float radians, Transform update = Transform::Now);
    void SetScale(float x, float y, Transform update = Transform::Now);
    const Vec3& GetPosition() const { return m_position; }
    float GetRotation() const { return m_rotation; }
    const Vec2& GetScale() const { return m_scale; }
    const Vec3& GetWorldPosition() const { return m_worldPosition; }
    float GetWorldRotation() const { return m_worldRotation; }
    const Vec2& GetWorldScale() const { return m_worldScale; }
    void UpdateWorldTransform();

    // Part of the drawing order: changing them moves the node in the scene.
    void SetLayer(int32_t layer, Scope scope);
    int32_t GetLayer() const { return m_layer; }
    void SetVisible(bool visible, Scope scope);
    bool IsVisible() const { return m_visible; }
    void SetPixelSnap(bool snap) { m_pixelSnap = snap; }

    // Sprite.
    void SetMesh(const Mesh& mesh);
    const Mesh& GetMesh() const { return m_mesh; }
    bool HasMesh() const { return m_meshGiven; }
    // A resource path; "" removes the texture.
    void SetTexture(const std::string& path);
    const std::string& GetTexturePath() const { return m_texturePath; }
    void SetMaterial(int blend, Scope scope);
    int GetMaterial() const { return m_material; }
    void SetAnimation(const FrameAnimationDesc& animation);
    const FrameAnimationDesc& GetAnimation() const { return m_animation; }
    // All four corners (ARGB); alphas pass down to children that inherit them.
    void SetColor(uint32_t color);
    void SetColors(const uint32_t colors[4]);
    uint32_t GetColor(int corner = 0) const { return m_mesh.colors[corner & 3]; }
    uint8_t GetEffectiveAlpha(int corner = 0) const { return m_alpha[corner & 3]; }
    Sprite* GetSprite() const { return m_sprite.get(); }
    const Vec2& GetMeshScale() const { return m_meshScale; }
    // The four drawn corners (TL, TR, BR, BL) in screen pixels, as x, y pairs.
    // False when the node has no sprite.
    bool ComputeCorners(float out[8]) const;

    // Keyframes, in time order; a keyframe at the same time goes after the others.
    void AddKeyframe(const KeyframePtr& keyframe) { m_keyframes.Add(keyframe); }
    void RemoveKeyframe(const KeyframePtr& keyframe) { m_keyframes.Remove(keyframe); }
    void ClearKeyframes() { m_keyframes.Clear(); }
    size_t GetKeyframeCount() const { return m_keyframes.GetCount(); }
    // A white colour fade from `fromAlpha` at `startMs` to `toAlpha` at `endMs`;
    // off removes the colour keyframes.
    void SetAlphaFade(bool on, int64_t startMs = 0, int64_t endMs = 0, uint8_t fromAlpha = 255, uint8_t toAlpha = 0)
    {
        m_keyframes.SetAlphaFade(on, startMs, endMs, fromAlpha, toAlpha);
    }

    // Motion.
    void SetVelocity(const Vec3& velocity) { m_motion.velocity = velocity; }
    const Vec3& GetVelocity() const { return m_motion.velocity; }
    // Sets the first acceleration.
    void SetAcceleration(const Vec3& acceleration);
    void AddAcceleration(const Vec3& acceleration) { m_motion.accelerations.push_back(acceleration); }
    const std::vector<Vec3>& GetAccelerations() const { return m_motion.accelerations; }
    void SetRotateToDirection(bool on) { m_motion.rotateToDirection = on; }
    bool GetRotateToDirection() const { return m_motion.rotateToDirection; }
    void SetTurning(Turning turning, float rate);

    // Noise; a node has at most one.
    void SetNoise(const Noise& noise);
    void RemoveNoise();
    bool HasNoise() const { return m_noise != nullptr; }

    // Trail: a child stretched from the node back to where it started. The
    // child is a deep clone of `trailNode` (none when null).
    void SetTrail(const IntrusivePtr<SceneNode>& trailNode, float length);
    bool HasTrail() const { return m_hasTrail; }
    SceneNode* GetTrailNode() const { return m_trailNode; }
    void SetTrailStart(const Vec3& worldPoint) { m_trailStart = worldPoint; }

    // Emitter.
    void SetEmitter(const EmitterDesc& emitter);
    void ClearEmitter() { m_emitter.reset(); }
    // Null for a node that is not an emitter.
    const EmitterDesc* GetEmitter() const { return m_emitter ? &m_emitter->GetDesc() : nullptr; }
    // Arms the emitter: its spawn clock starts with its next spawn.
    void StartEmitter()
    {
        if (m_emitter) {
            m_emitter->Start();
        }
    }
    // One burst of `count` particles.
    void Spawn(SpawnClock clock);
    // Spawns now (and each direct child does), or after `delayMs`.
    void Fire(int64_t delayMs, FireDelay delay);
    int64_t GetShowTime() const { return m_showTime; }

protected:
    void OnParentChanged() override;

private:
    void CreateSprite();
    void ApplyColorsToSprite();
    void RecomputeAlphas();
    void StepAnimation(int64_t now);
    void StepKeyframes(int64_t now);
    void StepMotion(int64_t now);
    void StepNoise(int64_t now);
    void StepTrail();
    void StepEmitter(int64_t now);
    SceneNode* ParentNode() const;
    void MakeTrailNode();
    // A copy of this emitter that is a plain node, ready to be placed.
    IntrusivePtr<SceneNode> MakeParticle(int64_t now) const;

    // What every frame reads comes first, so that walking many nodes touches
    // few cache lines; set-up and rarely used state follows.
    Vec3 m_position;
    float m_rotation = 0;
    Vec2 m_scale{1, 1};
    Vec3 m_worldPosition;
    float m_worldRotation = 0;
    Vec2 m_worldScale{1, 1};
    Vec2 m_meshScale{1, 1};
    int32_t m_layer = 0;
    bool m_visible = true;
    bool m_pixelSnap = false;
    bool m_hasVertices = false; // some mesh corner is set
    uint8_t m_alpha[4] = {255, 255, 255, 255};
    int64_t m_showTime = 0;
    std::unique_ptr<Sprite> m_sprite;
    std::unique_ptr<ParticleEmitter> m_emitter;
    std::unique_ptr<Noise> m_noise;
    SceneNode* m_trailNode = nullptr; // owned as a child
    KeyframeTrack m_keyframes;
    Motion m_motion;
    FrameAnimationDesc m_animation;
    int64_t m_animationStepTime = 0; // when the frame last stepped; time below one frame accumulates
    Mesh m_mesh;

    std::string m_texturePath;
    int m_material = kBlendDefault;
    bool m_meshGiven = false;

    bool m_hasTrail = false;
    float m_trailLength = 400;
    IntrusivePtr<SceneNode> m_trailPrototype;
    Vec3 m_trailStart;
};

} // namespace tsv
