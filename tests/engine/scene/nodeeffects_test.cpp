#include "engine/core/random.h"
#include "scenetest.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace tsv::test {
namespace {

using NodeEffectsTest = SceneTest;

float Length(const Vec3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

// Runs only this node's update, `frames` times, `ms` apart.
void Step(SceneNode& node, int frames, int64_t ms)
{
    for (int i = 0; i < frames; ++i) {
        AdvanceClock(ms);
        node.Update();
    }
}

TEST_F(NodeEffectsTest, AlphaPassesToChildrenOnlyWhenTheParentSaysSo)
{
    SceneNodePtr parent = Quad(4, 4), child = Quad(4, 4);
    parent->AddChild(child);
    parent->SetColor(0x80FFFFFF);
    child->SetColor(0xFF336699);
    EXPECT_EQ(child->GetEffectiveAlpha(), 128);
    EXPECT_EQ(child->GetSprite()->GetColor(2), 0x80336699u) << "only alpha is inherited";

    child->SetColor(0x80336699);
    EXPECT_EQ(child->GetEffectiveAlpha(), 64) << "128 * 128 / 255 rounded down";

    Mesh mesh = parent->GetMesh();
    mesh.colorAppliesToChild = false;
    parent->SetMesh(mesh);
    child->SetColor(0xFF336699);
    EXPECT_EQ(child->GetEffectiveAlpha(), 255);

    // A grandchild inherits through the chain when every link passes colour on.
    mesh.colorAppliesToChild = true;
    parent->SetMesh(mesh);
    SceneNodePtr grandchild = Quad(2, 2);
    child->SetColor(0x80FFFFFF);
    child->AddChild(grandchild);
    EXPECT_EQ(grandchild->GetEffectiveAlpha(), 64);
    parent->SetColor(0xFFFFFFFF);
    EXPECT_EQ(grandchild->GetEffectiveAlpha(), 128) << "a parent's change reaches the whole subtree";
}

class FrameStepTest : public SceneTest {
protected:
    SceneNodePtr Animated(int32_t begin, int32_t end, int32_t fps, bool looped, bool forward)
    {
        SceneNodePtr node = MakeIntrusive<SceneNode>();
        node->SetTexture(std::string(BSH_SOURCE_DIR) + "/" + DataPath("frames.png"));
        node->SetMesh(Mesh(16, 16));
        node->SetAnimation({.enabled = true, .frameBegin = begin, .frameEnd = end,
                            .currentFrame = forward ? begin : end, .fps = fps, .playing = true,
                            .looped = looped, .forward = forward});
        node->Update(); // starts the clock
        return node;
    }
    static int Shown(const SceneNode& node) { return static_cast<FrameAnimation*>(node.GetSprite())->GetFrame(); }
};

TEST_F(FrameStepTest, FramesAccumulateLoopAndClamp)
{
    SceneNodePtr node = Animated(0, 3, 10, true, true);
    Step(*node, 1, 50);
    EXPECT_EQ(node->GetAnimation().currentFrame, 0);
    Step(*node, 1, 50);
    EXPECT_EQ(node->GetAnimation().currentFrame, 1) << "two half frames make a step";
    Step(*node, 1, 250);
    EXPECT_EQ(node->GetAnimation().currentFrame, 3) << "250 ms at 10 fps is two steps";
    EXPECT_EQ(Shown(*node), 3);
    Step(*node, 1, 100);
    EXPECT_EQ(node->GetAnimation().currentFrame, 0) << "looped forward wraps";

    SceneNodePtr once = Animated(1, 3, 10, false, true);
    Step(*once, 1, 1000);
    EXPECT_EQ(once->GetAnimation().currentFrame, 3);
    Step(*once, 3, 100);
    EXPECT_EQ(once->GetAnimation().currentFrame, 3) << "stays on the last frame";
    EXPECT_TRUE(once->GetAnimation().playing);

    SceneNodePtr back = Animated(0, 3, 10, true, false);
    Step(*back, 1, 500);
    EXPECT_EQ(back->GetAnimation().currentFrame, 2) << "3 - 5 wraps to 2";
    SceneNodePtr backOnce = Animated(1, 3, 10, false, false);
    Step(*backOnce, 1, 500);
    EXPECT_EQ(backOnce->GetAnimation().currentFrame, 1);

    SceneNodePtr still = Animated(0, 3, 0, true, true);
    Step(*still, 5, 1000);
    EXPECT_EQ(still->GetAnimation().currentFrame, 0) << "0 fps never steps";

    FrameAnimationDesc a = node->GetAnimation();
    a.frameEnd = 2;
    a.currentFrame = 7;
    node->SetAnimation(a);
    EXPECT_EQ(node->GetAnimation().currentFrame, 2);
    EXPECT_EQ(Shown(*node), 2);
}

TEST_F(NodeEffectsTest, KeyframesInterpolateEachAxisHoldAndGoAway)
{
    SceneNodePtr node = Quad(4, 4);
    const int64_t t0 = Now();
    KeyframePtr from = MakeIntrusive<Keyframe>(t0), to = MakeIntrusive<Keyframe>(t0 + 1000);
    from->hasPosition = to->hasPosition = from->hasScale = to->hasScale = true;
    to->position = {100, 0, 0};
    from->scale = {1, 1};
    to->scale = {3, 0.5f}; // each axis on its own
    node->AddKeyframe(to);
    node->AddKeyframe(from);
    node->SetAlphaFade(true, t0, t0 + 500, 255, 0);
    node->Update();
    Step(*node, 1, 250);
    EXPECT_FLOAT_EQ(node->GetPosition().x, 25.0f);
    EXPECT_FLOAT_EQ(node->GetScale().x, 1.5f);
    EXPECT_FLOAT_EQ(node->GetScale().y, 0.875f);
    EXPECT_EQ(node->GetColor() >> 24, 128u) << "255 + (-255 * 250) / 500, quotient toward zero";
    EXPECT_EQ(node->GetColor() & 0xFFFFFFu, 0xFFFFFFu);
    Step(*node, 1, 250);
    EXPECT_EQ(node->GetColor() >> 24, 0u);
    Step(*node, 1, 500);
    EXPECT_FLOAT_EQ(node->GetPosition().x, 100.0f);
    EXPECT_FLOAT_EQ(node->GetScale().x, 3.0f);
    EXPECT_FLOAT_EQ(node->GetScale().y, 0.5f);
    EXPECT_EQ(node->GetKeyframeCount(), 0u);
    Step(*node, 1, 100);
    EXPECT_FLOAT_EQ(node->GetPosition().x, 100.0f) << "the last value is held";

    // A keyframe that sets only rotation leaves position to code.
    KeyframePtr turn = MakeIntrusive<Keyframe>(Now() + 100);
    turn->hasRotation = true;
    turn->rotation = 1;
    node->AddKeyframe(turn);
    node->Update();
    node->SetPosition({7, 7, 0});
    Step(*node, 1, 50);
    EXPECT_FLOAT_EQ(node->GetRotation(), 0.5f);
    EXPECT_EQ(node->GetPosition(), (Vec3{7, 7, 0}));
}

TEST_F(NodeEffectsTest, MotionWithAccelerationAndTurningToTheDirection)
{
    SceneNodePtr node = Quad(4, 4);
    node->SetVelocity({10, 0, 0});
    node->SetAcceleration({0, 10, 0});
    node->SetRotateToDirection(true);
    node->Update(); // the first frame only starts the clock
    EXPECT_EQ(node->GetPosition(), (Vec3{0, 0, 0}));
    Step(*node, 1000, 1);
    EXPECT_NEAR(node->GetPosition().x, 10.0f, 0.01f);
    EXPECT_NEAR(node->GetPosition().y, 5.0f, 0.02f);
    EXPECT_NEAR(node->GetVelocity().y, 10.0f, 0.001f);
    // Moving at 45 degrees down-right: the node's top points along the motion.
    EXPECT_NEAR(node->GetRotation(), std::atan2(10.0f, 10.0f) + static_cast<float>(M_PI / 2), 1e-3f);

    // Steady turning keeps the speed and changes the heading.
    SceneNodePtr circler = Quad(4, 4);
    circler->SetVelocity({100, 0, 0});
    circler->SetTurning(Turning::Circling, static_cast<float>(M_PI));
    circler->Update();
    Step(*circler, 500, 1);
    EXPECT_NEAR(Length(circler->GetVelocity()), 100.0f, 0.01f);
    EXPECT_NEAR(circler->GetVelocity().x, 0.0f, 1.0f) << "half a second at pi per second is a quarter turn";
}

TEST_F(NodeEffectsTest, NoiseStaysWithinItsAmplitudeAndDoesNotHoldMotionBack)
{
    SeedRandom(11);
    SceneNodePtr node = Quad(4, 4);
    node->SetPosition({100, 100, 0});
    Noise noise;
    noise.positionAmplitude = {10, 20, 0};
    noise.scaleAmplitude = {0.5f, 0.5f};
    noise.timeEnd = Now() + 500;
    node->SetNoise(noise);
    float minX = 1e9f, maxX = -1e9f, minS = 1e9f, maxS = -1e9f;
    for (int i = 0; i < 400; ++i) {
        Step(*node, 1, 1);
        const Vec3& p = node->GetPosition();
        ASSERT_GE(p.x, 95.0f);
        ASSERT_LT(p.x, 105.0f);
        ASSERT_GE(p.y, 90.0f);
        ASSERT_LT(p.y, 110.0f);
        ASSERT_GE(node->GetScale().x, 1.0f);
        ASSERT_LT(node->GetScale().x, 1.5f);
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minS = std::min(minS, node->GetScale().x);
        maxS = std::max(maxS, node->GetScale().x);
    }
    EXPECT_GT(maxX - minX, 5.0f) << "the jitter moves";
    EXPECT_GT(maxS - minS, 0.25f);
    Step(*node, 1, 100);
    EXPECT_FALSE(node->HasNoise());
    EXPECT_EQ(node->GetPosition(), (Vec3{100, 100, 0})) << "the end leaves the node where it was";

    // A moving, jittering node still travels with its velocity.
    SceneNodePtr mover = Quad(4, 4);
    mover->SetVelocity({100, 0, 0});
    noise = Noise{};
    noise.positionAmplitude = {4, 4, 0};
    mover->SetNoise(noise);
    mover->Update();
    Step(*mover, 100, 10);
    EXPECT_NEAR(mover->GetPosition().x, 100.0f, 2.5f);
}

class EmitterTest : public SceneTest {
protected:
    static SceneNodePtr Emitter(int32_t count, int32_t spawnRateMs, EmitterDesc desc = {})
    {
        desc.count = count;
        desc.spawnRateMs = spawnRateMs;
        SceneNodePtr node = Quad(4, 4);
        node->SetEmitter(desc);
        return node;
    }
    static size_t Particles() { return Scene().GetDrawnNodeCount() - Emitters(); }
    static size_t Emitters()
    {
        size_t n = 0;
        Scene().ForEachDrawn([&](const HierarchyNode& node) { n += node.IsEmitter() ? 1 : 0; });
        return n;
    }
    static void SetDetail(int level)
    {
        static int64_t s_check = 1000000;
        Loop().UpdateDetailLevel(s_check += 21, 10);
        for (int i = 0; i < level; ++i) {
            Loop().UpdateDetailLevel(s_check += 21, 100);
        }
        ASSERT_EQ(Loop().GetDetailLevel(), level);
    }
};

TEST_F(EmitterTest, RateHoldsAcrossALongFrameAndParticlesLiveTheirLifetime)
{
    SetDetail(10);
    SceneNodePtr emitter = Emitter(2, 100);
    emitter->SetExpiry(500); // as a node file stores "lifetime"
    emitter->SetPosition({30, 40, 0});
    Scene().AddNode(emitter, tsv::Scope::Subtree, tsv::Attach::Now);
    emitter->Fire(0, tsv::FireDelay::OnNode);
    EXPECT_EQ(Particles(), 2u);
    std::vector<HierarchyNodePtr> firstBurst;
    Scene().ForEachDrawn([&](const HierarchyNode& node) {
        if (!node.IsEmitter()) {
            firstBurst.emplace_back(const_cast<HierarchyNode*>(&node));
        }
    });
    Frames(1, 350);
    EXPECT_EQ(Particles(), 2u + 3 * 2) << "three intervals passed in one frame";
    Frames(1, 50);
    EXPECT_EQ(Particles(), 2u + 4 * 2);

    // Particles are plain, visible nodes at the emitter's place; the emitter itself is not drawn.
    Scene().EndStep();
    Loop().DrawScene();
    EXPECT_EQ(Scene().GetLastDrawCount(), static_cast<int>(Particles()));
    Scene().ForEachDrawn([&](const HierarchyNode& node) {
        if (!node.IsEmitter()) {
            EXPECT_FLOAT_EQ(static_cast<const SceneNode&>(node).GetWorldPosition().x, 30.0f);
        }
    });

    // The first two were spawned 400 ms ago with a 500 ms lifetime.
    Frames(1, 99);
    EXPECT_TRUE(firstBurst[0]->IsAttached() && firstBurst[1]->IsAttached());
    Frames(1, 1);
    EXPECT_FALSE(firstBurst[0]->IsAttached() || firstBurst[1]->IsAttached());
    EXPECT_EQ(Particles(), 10u - 2 + 2) << "two expired, two more spawned";
    EXPECT_TRUE(emitter->IsAttached()) << "an emitter never expires out of the scene";

    Scene().RemoveNode(emitter, tsv::Scope::Subtree, tsv::Detach::Now, tsv::Rejoin::Never);
    Frames(1, 1000);
    EXPECT_EQ(Particles(), 0u);

    // An interval of 0 never spawns, on its own or when fired.
    SceneNodePtr idle = Emitter(1, 0);
    Scene().AddNode(idle, tsv::Scope::Subtree, tsv::Attach::Now);
    Frames(3, 500);
    idle->Fire(0, tsv::FireDelay::OnNode);
    EXPECT_EQ(Particles(), 0u);
}

TEST_F(EmitterTest, OptionalParticlesFollowTheDetailLevel)
{
    EmitterDesc optional;
    optional.optional = true;
    SceneNodePtr emitter = Emitter(1000, 1, optional);
    Scene().AddNode(emitter, tsv::Scope::Subtree, tsv::Attach::Now);
    SetDetail(0);
    emitter->Fire(0, tsv::FireDelay::OnNode);
    EXPECT_EQ(Particles(), 0u);
    SetDetail(10);
    emitter->Fire(0, tsv::FireDelay::OnNode);
    EXPECT_EQ(Particles(), 1000u);
    Scene().DetachAll();
    Scene().AddNode(emitter, tsv::Scope::Subtree, tsv::Attach::Now);
    SetDetail(5);
    emitter->Fire(0, tsv::FireDelay::OnNode);
    // Made with probability 6 in 10.
    EXPECT_GT(Particles(), 520u);
    EXPECT_LT(Particles(), 680u);

    SceneNodePtr required = Emitter(10, 1);
    Scene().AddNode(required, tsv::Scope::Subtree, tsv::Attach::Now);
    const size_t before = Particles();
    SetDetail(0);
    required->Fire(0, tsv::FireDelay::OnNode);
    EXPECT_EQ(Particles() - before, 10u) << "particles that are not optional always appear";
}

TEST_F(EmitterTest, RandomVelocityIsSeededAndBounded)
{
    EmitterDesc random;
    random.randomVelocity = random.randomAcceleration = true;
    random.randomVelocityAmount = 20;
    SceneNodePtr emitter = Emitter(50, 10, random);
    emitter->SetVelocity({30, 0, 0});
    emitter->SetAcceleration({0, 5, 0});
    SetDetail(10);

    const auto fire = [&] {
        Scene().DetachAll();
        std::vector<Vec3> velocities;
        SeedRandom(1234);
        emitter->Fire(0, tsv::FireDelay::OnNode);
        Scene().ForEachDrawn([&](const HierarchyNode& node) {
            const auto& particle = static_cast<const SceneNode&>(node);
            velocities.push_back(particle.GetVelocity());
            EXPECT_NEAR(Length(particle.GetAccelerations()[0]), 5.0f, 1e-3f);
        });
        return velocities;
    };
    std::vector<Vec3> first = fire();
    ASSERT_EQ(first.size(), 50u);
    float slowest = 1e9f, fastest = 0;
    for (const Vec3& v : first) {
        slowest = std::min(slowest, Length(v));
        fastest = std::max(fastest, Length(v));
        EXPECT_EQ(v.z, 0.0f);
    }
    EXPECT_GE(slowest, 30.0f - 1e-3f);
    EXPECT_LT(fastest, 50.0f);
    EXPECT_GT(fastest - slowest, 5.0f);
    // The same seed gives the same burst (set order aside).
    std::vector<Vec3> second = fire();
    auto key = [](const Vec3& a, const Vec3& b) { return std::tie(a.x, a.y) < std::tie(b.x, b.y); };
    std::sort(first.begin(), first.end(), key);
    std::sort(second.begin(), second.end(), key);
    EXPECT_EQ(first, second);
}

TEST_F(EmitterTest, AttachedParticlesJoinTheParentAndSoundsReachTheHook)
{
    std::vector<std::string> played;
    SetEmitterSoundHook([&](const std::string& sound, const std::string&) { played.push_back(sound); });
    SceneNodePtr holder = Quad(4, 4);
    EmitterDesc attached;
    attached.attached = true;
    attached.sound = "sparkle";
    SceneNodePtr emitter = Emitter(3, 100, attached);
    holder->AddChild(emitter);
    Scene().AddNode(holder, tsv::Scope::Subtree, tsv::Attach::Now);
    SetDetail(10);
    emitter->Fire(0, tsv::FireDelay::OnNode);
    EXPECT_EQ(holder->GetChildCount(), 4u);
    EXPECT_EQ(played, std::vector<std::string>{"sparkle"});
    SetEmitterSoundHook(nullptr);
    Scene().DetachAll();

    // A delayed fire shows itself when its time comes and gets a lifetime from then.
    played.clear();
    SceneNodePtr later = Emitter(1, 100);
    Scene().AddNode(later, tsv::Scope::Subtree, tsv::Attach::Now);
    later->Fire(300, tsv::FireDelay::OnNode);
    EXPECT_EQ(later->GetExpiry(), Now() + 300 + kDefaultFireLifetimeMs);
    const size_t before = Particles();
    Frames(1, 299);
    EXPECT_EQ(Particles(), before);
    Frames(1, 1);
    EXPECT_EQ(Particles(), before + 1);
    EXPECT_EQ(later->GetShowTime(), 0);
}

} // namespace
} // namespace tsv::test
