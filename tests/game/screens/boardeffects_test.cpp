#include "game/screens/boardeffects.h"

#include "engine/scene/scenetest.h"
#include "support/testsupport.h"

#include <cmath>

namespace bsh {
namespace {

using tsv::Vec3;

// The scene (and its configuration) exists before a test starts capturing the log.
using BoardEffectsTest = tsv::test::SceneTest;

TEST_F(BoardEffectsTest, GameDataLoadsEveryEffectAndStyleAndFiringAgainMovesTheOneNode)
{
    testsupport::LogCapture log;
    BoardEffects effects;
    effects.Load();
    EXPECT_TRUE(log.Texts(tsv::LogLevel::Error).empty()) << log.Texts(tsv::LogLevel::Error).front();
    for (int i = 0; i < kGameEffectCount; ++i) {
        EXPECT_TRUE(effects.GameEffectNode(static_cast<GameEffect>(i))) << i;
    }
    for (const char* style : {"1", "2", "3", "4", "5", "6", "7", "8", "stone", "crate", "shell"}) {
        EXPECT_TRUE(effects.StyleNode(style)) << style;
    }
    EXPECT_FALSE(effects.HasStyle("9"));

    // A style is one node: firing it again moves it, and each firing bursts.
    const int before = tsv::SceneNode::GetInstanceCount();
    effects.FireStyle("3", {100, 120, 0}, 5);
    const int afterFirst = tsv::SceneNode::GetInstanceCount();
    EXPECT_GT(afterFirst, before); // shards were spawned

    effects.FireStyle("3", {300, 40, 0}, 5);
    EXPECT_GT(tsv::SceneNode::GetInstanceCount(), afterFirst);
    const tsv::SceneNodePtr& node = effects.StyleNode("3");
    EXPECT_EQ(node->GetPosition(), (Vec3{300, 40, 0}));
    EXPECT_EQ(node->GetLayer(), 5);

    // Particles of the second burst start at the second place.
    Scene().EndStep();
    Loop().DrawScene();
    bool nearSecond = false;
    Scene().ForEachDrawn([&](tsv::HierarchyNode& drawn) {
        auto* particle = dynamic_cast<tsv::SceneNode*>(&drawn);
        const Vec3 at = particle ? particle->GetWorldPosition() : Vec3{};
        nearSecond = nearSecond || (std::abs(at.x - 300) < 20 && std::abs(at.y - 40) < 20);
    });
    EXPECT_TRUE(nearSecond);
}

TEST_F(BoardEffectsTest, BadStyleFileKeepsTheColourStyles)
{
    testsupport::LogCapture log;
    testsupport::ScratchDir dir;
    testsupport::WriteFile(dir.Path() + "styles.xml", "<fragments><style>stone</style></fragments>");
    BoardEffects effects;
    effects.Load(dir.Path() + "styles.xml");
    EXPECT_TRUE(log.Contains(tsv::LogLevel::Error, "Error loading fragment styles: first tag must be <styles>"));
    EXPECT_TRUE(effects.HasStyle("8"));
    EXPECT_FALSE(effects.HasStyle("stone"));

    log.Clear();
    effects.FireStyle("stone", {0, 0, 0}, 3);
    EXPECT_TRUE(log.Contains(tsv::LogLevel::Error, "Fragment style not found: <stone>"));
}

} // namespace
} // namespace bsh
