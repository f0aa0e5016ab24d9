#include "engine/scene/scenenode.h"

#include "engine/core/log.h"
#include "engine/core/random.h"
#include "engine/scene/frameloop.h"

#include <algorithm>
#include <cmath>

namespace tsv {

namespace {

int g_sceneNodeCount = 0;

constexpr float kViewCentreX = 400.0f;
constexpr float kViewCentreY = 300.0f;

SceneNode* AsSceneNode(HierarchyNode* node) { return dynamic_cast<SceneNode*>(node); }

// A mesh side in whole pixels; 0 for sizes no int holds (a node file may give
// any number, infinity and NaN included), which fit no frame either.
int WholePixels(float side)
{
    return side > 0.0f && side < 2147483520.0f ? static_cast<int>(side) : 0;
}

} // namespace

SceneNode::SceneNode() { ++g_sceneNodeCount; }

SceneNode::SceneNode(const SceneNode& other)
    : HierarchyNode(other), m_position(other.m_position), m_rotation(other.m_rotation), m_scale(other.m_scale),
      m_worldPosition(other.m_worldPosition), m_worldRotation(other.m_worldRotation),
      m_worldScale(other.m_worldScale), m_meshScale(other.m_meshScale), m_layer(other.m_layer),
      m_visible(other.m_visible), m_pixelSnap(other.m_pixelSnap), m_hasVertices(other.m_hasVertices),
      m_showTime(other.m_showTime),
      m_emitter(other.m_emitter ? std::make_unique<ParticleEmitter>(*other.m_emitter) : nullptr),
      m_noise(other.m_noise ? std::make_unique<Noise>(*other.m_noise) : nullptr), m_keyframes(other.m_keyframes),
      m_motion(other.m_motion), m_animation(other.m_animation), m_animationStepTime(other.m_animationStepTime),
      m_mesh(other.m_mesh), m_texturePath(other.m_texturePath), m_material(other.m_material), m_meshGiven(other.m_meshGiven),
      m_hasTrail(other.m_hasTrail), m_trailLength(other.m_trailLength), m_trailPrototype(other.m_trailPrototype),
      m_trailStart(other.m_trailStart)
{
    ++g_sceneNodeCount;
    for (int i = 0; i < 4; ++i) {
        m_alpha[i] = other.m_alpha[i];
    }
    if (other.m_sprite) {
        if (auto* animated = dynamic_cast<const FrameAnimation*>(other.m_sprite.get())) {
            m_sprite = std::make_unique<FrameAnimation>(*animated);
        } else {
            m_sprite = std::make_unique<Sprite>(*other.m_sprite);
        }
    }
    MakeTrailNode();
}

SceneNode::~SceneNode() { --g_sceneNodeCount; }

int SceneNode::GetInstanceCount() { return g_sceneNodeCount; }

IntrusivePtr<HierarchyNode> SceneNode::CloneSelf() const { return IntrusivePtr<HierarchyNode>(new SceneNode(*this)); }

IntrusivePtr<HierarchyNode> SceneNode::Clone(Scope scope) const
{
    IntrusivePtr<HierarchyNode> copy = CloneSelf();
    if (scope == Scope::Subtree && GetChildren()) {
        for (const HierarchyNodePtr& child : GetChildren()->nodes) {
            if (child.Get() != m_trailNode) {
                copy->AddChild(child->Clone(Scope::Subtree));
            }
        }
    }
    return copy;
}

void SceneNode::ShiftTime(int64_t deltaMs, Scope scope)
{
    HierarchyNode::ShiftTime(deltaMs, scope);
    m_keyframes.ShiftTime(deltaMs);
    if (m_noise) {
        m_noise->timeBegin += deltaMs;
        if (m_noise->timeEnd != 0) {
            m_noise->timeEnd += deltaMs;
        }
    }
    if (m_showTime != 0) {
        m_showTime += deltaMs;
    }
}

DrawKey SceneNode::GetDrawKey() const { return DrawKey{m_visible, IsEmitter(), m_layer, m_worldPosition.z}; }

SceneNode* SceneNode::ParentNode() const { return AsSceneNode(GetParent()); }

void SceneNode::OnParentChanged()
{
    UpdateWorldTransform();
    RecomputeAlphas();
}

// --- Transform -------------------------------------------------------------

void SceneNode::SetPosition(const Vec3& position, Transform update)
{
    if (position == m_position) {
        return;
    }
    if (position.z != m_position.z && GetScene()) {
        // z is part of the drawing order: re-enter the set at the end of the step.
        GetScene()->RemoveNode(HierarchyNodePtr(this), Scope::Subtree, Detach::Now, Rejoin::AtStepEnd);
    }
    m_position = position;
    if (update == Transform::Now) {
        UpdateWorldTransform();
    }
}

void SceneNode::SetRotation(float radians, Transform update)
{
    m_rotation = radians;
    if (update == Transform::Now) {
        UpdateWorldTransform();
    }
}

void SceneNode::SetScale(float x, float y, Transform update)
{
    m_scale = {x, y};
    if (update == Transform::Now) {
        UpdateWorldTransform();
    }
}

void SceneNode::UpdateWorldTransform()
{
    Vec3 parentPosition;
    float parentRotation = 0;
    Vec2 parentScale{1, 1};
    if (const SceneNode* parent = ParentNode()) {
        parentPosition = parent->m_worldPosition;
        parentRotation = parent->m_worldRotation;
        parentScale = parent->m_worldScale;
    }
    const float u = parentScale.x * m_position.x;
    const float v = parentScale.y * m_position.y;
    if (parentRotation != 0) {
        const float c = std::cos(parentRotation), s = std::sin(parentRotation);
        m_worldPosition.x = parentPosition.x + c * u - s * v;
        m_worldPosition.y = parentPosition.y + c * v + s * u;
    } else {
        m_worldPosition.x = parentPosition.x + u;
        m_worldPosition.y = parentPosition.y + v;
    }
    m_worldPosition.z = parentPosition.z + m_position.z;
    m_worldRotation = m_rotation + parentRotation;
    m_worldScale = {parentScale.x * m_scale.x, parentScale.y * m_scale.y};
    if (GetChildren()) {
        for (const HierarchyNodePtr& child : GetChildren()->nodes) {
            if (SceneNode* node = AsSceneNode(child.Get())) {
                node->UpdateWorldTransform();
            }
        }
    }
}

void SceneNode::SetLayer(int32_t layer, Scope scope)
{
    if (GetScene()) {
        GetScene()->RemoveNode(HierarchyNodePtr(this), Scope::Node, Detach::Now, Rejoin::AtStepEnd);
    }
    m_layer = layer;
    if (scope == Scope::Subtree && GetChildren()) {
        for (const HierarchyNodePtr& child : GetChildren()->nodes) {
            if (SceneNode* node = AsSceneNode(child.Get())) {
                node->SetLayer(layer, Scope::Subtree);
            }
        }
    }
}

void SceneNode::SetVisible(bool visible, Scope scope)
{
    if (GetScene() && visible != m_visible) {
        GetScene()->RemoveNode(HierarchyNodePtr(this), Scope::Node, Detach::Now, Rejoin::AtStepEnd);
    }
    m_visible = visible;
    if (scope == Scope::Subtree && GetChildren()) {
        for (const HierarchyNodePtr& child : GetChildren()->nodes) {
            if (SceneNode* node = AsSceneNode(child.Get())) {
                node->SetVisible(visible, Scope::Subtree);
            }
        }
    }
}

// --- Drawing ---------------------------------------------------------------

bool SceneNode::ComputeCorners(float out[8]) const
{
    if (!m_sprite) {
        return false;
    }
    const float cx = m_worldPosition.x + kViewCentreX;
    const float cy = m_worldPosition.y + kViewCentreY;
    const float sx = m_worldScale.x * m_meshScale.x;
    float sy = m_worldScale.y * m_meshScale.y;
    if (sy == 0) {
        sy = sx;
    }
    const float ax = m_mesh.anchorX, ay = m_mesh.anchorY;
    const float w = m_mesh.width, h = m_mesh.height;
    const float rect[8] = {-ax, -ay, w - ax, -ay, w - ax, h - ay, -ax, h - ay};
    float local[8];
    for (int i = 0; i < 4; ++i) {
        const Vec3& corner = m_mesh.vertices[i];
        if (!m_hasVertices || corner.x > kUnsetCorner) {
            local[2 * i] = rect[2 * i] * sx;
            local[2 * i + 1] = rect[2 * i + 1] * sy;
        } else {
            local[2 * i] = corner.x * sx;
            local[2 * i + 1] = corner.y * sy;
        }
    }
    const float r = m_worldRotation;
    if (r != 0) {
        const float c = std::cos(r), s = std::sin(r);
        for (int i = 0; i < 4; ++i) {
            const float x = local[2 * i], y = local[2 * i + 1];
            out[2 * i] = c * x - s * y + cx;
            out[2 * i + 1] = c * y + s * x + cy;
        }
    } else {
        for (int i = 0; i < 4; ++i) {
            out[2 * i] = local[2 * i] + cx;
            out[2 * i + 1] = local[2 * i + 1] + cy;
        }
    }
    if (m_pixelSnap) {
        for (int i = 0; i < 8; ++i) {
            out[i] = std::floor(out[i]);
        }
    }
    return true;
}

void SceneNode::Draw(Platform&)
{
    float c[8];
    if (ComputeCorners(c)) {
        m_sprite->Render4V(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]);
    }
}

// --- Sprite, mesh, frame animation ------------------------------------------

void SceneNode::CreateSprite()
{
    FrameLoop& scene = FrameLoop::Instance();
    Platform* platform = scene.GetPlatform();
    if (!m_animation.enabled) {
        m_sprite = std::make_unique<Sprite>(platform, 0, m_mesh.textureOffsetX, m_mesh.textureOffsetY, m_mesh.width,
                                            m_mesh.height);
    }
    if (!m_texturePath.empty()) {
        TextureHandle texture = scene.GetTexture(m_texturePath);
        if (!texture) {
            GetLog() << Error << "Texture not found: " << m_texturePath << EndL;
        } else if (m_animation.enabled) {
            const int texW = platform ? platform->TextureGetWidth(texture) : 0;
            const int texH = platform ? platform->TextureGetHeight(texture) : 0;
            if (m_mesh.width > static_cast<float>(texW) || m_mesh.height > static_cast<float>(texH)) {
                GetLog() << Error << "Animated sprite is bigger than texture" << EndL;
            }
            const int frameW = WholePixels(m_mesh.width), frameH = WholePixels(m_mesh.height);
            const int fit = (frameH > 0 ? texH / frameH : 0) * (frameW > 0 ? texW / frameW : 0);
            const int frames = m_animation.frameEnd + 1;
            if (fit < frames) {
                GetLog() << Warning << "Trying to set animation with " << frames << " frames while only " << fit
                         << " frames will fit in texture" << EndL;
            }
            auto animated = std::make_unique<FrameAnimation>(platform, texture, frames, 1.0f, m_mesh.textureOffsetX,
                                                             m_mesh.textureOffsetY, m_mesh.width, m_mesh.height);
            animated->SetFrame(m_animation.currentFrame < 0 ? m_animation.frameBegin : m_animation.currentFrame);
            m_sprite = std::move(animated);
        } else if (m_sprite) {
            m_sprite->SetTexture(texture);
        }
    }
    if (m_sprite) {
        ApplyColorsToSprite();
        m_sprite->SetBlendMode(m_material);
        m_sprite->SetFlip(m_mesh.flipHorizontal, m_mesh.flipVertical);
    }
}

void SceneNode::ApplyColorsToSprite()
{
    if (!m_sprite) {
        return;
    }
    for (int i = 0; i < 4; ++i) {
        m_sprite->SetColor((static_cast<uint32_t>(m_alpha[i]) << 24) | (m_mesh.colors[i] & 0x00FFFFFFu), i);
    }
}

void SceneNode::RecomputeAlphas()
{
    uint32_t parentAlpha[4] = {255, 255, 255, 255};
    if (const SceneNode* parent = ParentNode(); parent && parent->m_mesh.colorAppliesToChild) {
        for (int i = 0; i < 4; ++i) {
            parentAlpha[i] = parent->m_alpha[i];
        }
    }
    for (int i = 0; i < 4; ++i) {
        m_alpha[i] = static_cast<uint8_t>(parentAlpha[i] * (m_mesh.colors[i] >> 24) / 255u);
    }
    ApplyColorsToSprite();
    if (GetChildren()) {
        for (const HierarchyNodePtr& child : GetChildren()->nodes) {
            if (SceneNode* node = AsSceneNode(child.Get())) {
                node->RecomputeAlphas();
            }
        }
    }
}

void SceneNode::SetColors(const uint32_t colors[4])
{
    bool changed = false;
    for (int i = 0; i < 4; ++i) {
        changed = changed || m_mesh.colors[i] != colors[i];
        m_mesh.colors[i] = colors[i];
    }
    if (changed) {
        RecomputeAlphas();
    }
}

void SceneNode::SetColor(uint32_t color)
{
    const uint32_t colors[4] = {color, color, color, color};
    SetColors(colors);
}

void SceneNode::SetMesh(const Mesh& mesh)
{
    const bool colorsChanged = !std::equal(std::begin(mesh.colors), std::end(mesh.colors), std::begin(m_mesh.colors));
    if (!m_sprite) {
        m_mesh = mesh;
        if (colorsChanged) {
            RecomputeAlphas();
        }
        CreateSprite();
    } else {
        const bool rectChanged = mesh.textureOffsetX != m_mesh.textureOffsetX ||
                                 mesh.textureOffsetY != m_mesh.textureOffsetY || mesh.width != m_mesh.width ||
                                 mesh.height != m_mesh.height;
        const bool flipChanged =
            mesh.flipHorizontal != m_mesh.flipHorizontal || mesh.flipVertical != m_mesh.flipVertical;
        m_mesh = mesh;
        if (rectChanged) {
            if (m_animation.enabled) {
                // An animated sprite's frames are laid out from its rectangle.
                CreateSprite();
            } else {
                m_sprite->SetTextureRect(mesh.textureOffsetX, mesh.textureOffsetY, mesh.width, mesh.height);
            }
        }
        if (colorsChanged) {
            RecomputeAlphas();
        }
        if (flipChanged) {
            m_sprite->SetFlip(mesh.flipHorizontal, mesh.flipVertical);
        }
    }
    m_hasVertices = std::any_of(std::begin(mesh.vertices), std::end(mesh.vertices),
                                [](const Vec3& v) { return v.x <= kUnsetCorner; });
    if (mesh.width >= 0.0001f && mesh.height >= 0.0001f) {
        m_meshScale = {mesh.boundWidth / mesh.width, mesh.boundHeight / mesh.height};
    }
    m_meshGiven = true;
}

void SceneNode::SetTexture(const std::string& path)
{
    m_texturePath = path;
    if (!m_sprite) {
        return;
    }
    if (m_animation.enabled || path.empty()) {
        if (path.empty()) {
            m_sprite->SetTexture(0);
        } else {
            CreateSprite();
        }
        return;
    }
    TextureHandle texture = FrameLoop::Instance().GetTexture(path);
    if (!texture) {
        GetLog() << Error << "Texture not found: " << path << EndL;
        return;
    }
    m_sprite->SetTexture(texture);
}

void SceneNode::SetMaterial(int blend, Scope scope)
{
    m_material = blend;
    if (m_sprite) {
        m_sprite->SetBlendMode(blend);
    }
    if (scope == Scope::Subtree && GetChildren()) {
        for (const HierarchyNodePtr& child : GetChildren()->nodes) {
            if (SceneNode* node = AsSceneNode(child.Get())) {
                node->SetMaterial(blend, Scope::Subtree);
            }
        }
    }
}

void SceneNode::SetAnimation(const FrameAnimationDesc& animation)
{
    const bool enabledChanged = animation.enabled != m_animation.enabled;
    m_animation = animation;
    // -1 stays: it asks for a random frame on the next step.
    if (m_animation.currentFrame != -1) {
        m_animation.currentFrame =
            std::max(m_animation.frameBegin, std::min(m_animation.currentFrame, m_animation.frameEnd));
    }
    if (enabledChanged && m_sprite) {
        m_sprite.reset();
        CreateSprite();
    }
    if (m_animation.enabled && m_sprite) {
        auto* animated = dynamic_cast<FrameAnimation*>(m_sprite.get());
        if (animated && animated->GetFrames() != m_animation.frameEnd + 1) {
            CreateSprite();
            animated = dynamic_cast<FrameAnimation*>(m_sprite.get());
        }
        if (animated) {
            animated->SetFrame(m_animation.currentFrame < 0 ? m_animation.frameBegin : m_animation.currentFrame);
        }
    }
}

void SceneNode::StepAnimation(int64_t now)
{
    FrameAnimationDesc& a = m_animation;
    if (!a.enabled || !a.playing) {
        return;
    }
    const int32_t n = a.frameEnd - a.frameBegin + 1;
    if (n <= 0) {
        return;
    }
    if (a.currentFrame == -1) {
        a.currentFrame = a.frameBegin + Random() % n;
    }
    const int64_t since = m_animationStepTime != 0 ? m_animationStepTime : GetLastUpdateTime();
    if (since != 0 && a.fps > 0) {
        const int64_t frameTime = std::max<int64_t>(1, 1000 / a.fps);
        const int64_t elapsed = now - since;
        if (elapsed < frameTime) {
            return;
        }
        const int64_t steps = elapsed / frameTime;
        int64_t r = a.currentFrame - a.frameBegin + (a.forward ? steps : -steps);
        if (a.forward) {
            r = a.looped ? r % n : std::min<int64_t>(r, n - 1);
        } else {
            r = a.looped ? ((r % n) + n) % n : std::max<int64_t>(r, 0);
        }
        a.currentFrame = a.frameBegin + static_cast<int32_t>(r);
    }
    m_animationStepTime = now;
    if (auto* animated = dynamic_cast<FrameAnimation*>(m_sprite.get())) {
        animated->SetFrame(a.currentFrame);
    }
}

// --- Per-frame update ----------------------------------------------------------

void SceneNode::Update()
{
    const int64_t now = GetTime();
    if (m_showTime != 0 && now >= m_showTime) {
        Fire(0, FireDelay::OnNode);
    }
    if (m_emitter) {
        StepEmitter(now);
        return;
    }
    if (m_noise && m_noise->active) {
        SetPosition(m_noise->basePosition, Transform::Now);
        SetScale(m_noise->baseScale.x, m_noise->baseScale.y, Transform::Now);
        m_noise->active = false;
    }
    StepMotion(now);
    StepKeyframes(now);
    StepAnimation(now);
    HierarchyNode::Update();
    StepNoise(now);
    if (m_motion.rotateToDirection && (m_motion.velocity.x != 0 || m_motion.velocity.y != 0)) {
        SetRotation(std::atan2(m_motion.velocity.y, m_motion.velocity.x) + static_cast<float>(M_PI / 2),
                    Transform::Now);
    }
    StepTrail();
}

} // namespace tsv
