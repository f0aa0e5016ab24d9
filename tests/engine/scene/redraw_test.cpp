// A frame draws again only what changed since the last one; on the software
// renderer too its picture must be the one a whole drawing gives, every
// frame, whatever moves, turns, fades, spawns or is scaled.

#include "engine/scene/nodelibrary.h"
#include "scenetest.h"

#include <vector>

namespace tsv::test {
namespace {

using RedrawTest = SceneTest;

TEST_F(RedrawTest, DrawingOnlyWhatChangedGivesTheWholeFramesPicture)
{
    // Node files with moving, turning, fading, animated (scaled up) and
    // spawning nodes, a quad that comes and goes, and one that changes places
    // in the order with another.
    const std::vector<std::pair<const char*, Vec3>> files = {{"hierarchy", {-200, -120, 0}},
                                                             {"fade", {150, -150, 0}},
                                                             {"animation", {-150, 150, 0}},
                                                             {"emitter", {120, 100, 0}}};
    for (const auto& [name, at] : files) {
        SceneNodePtr node = NodeLibrary::Instance().CreateNode(std::string("tests/engine/scene/data/") + name + ".xml");
        ASSERT_TRUE(node) << name;
        node->SetTimer(SystemTimer(), tsv::Scope::Subtree, tsv::Reassign::Quiet);
        node->SetPosition(at, tsv::Transform::Now);
        Scene().AddNode(node, tsv::Scope::Subtree, tsv::Attach::Now);
        node->Fire(0, tsv::FireDelay::OnNode);
    }
    SceneNodePtr blinking = Quad(90, 40), under = Quad(120, 80), over = Quad(120, 80);
    blinking->SetColor(0xC0FF8000);
    under->SetColor(0xFF2040FF);
    over->SetColor(0x80FFFFFF);
    blinking->SetPosition({-300, 200, 0});
    under->SetPosition({250, 180, 0});
    over->SetPosition({290, 200, 0});
    over->SetLayer(1, tsv::Scope::Node);
    for (const SceneNodePtr& node : {blinking, under, over}) {
        Scene().AddNode(node, tsv::Scope::Subtree, tsv::Attach::Now);
    }

    Platform& platform = *Loop().GetPlatform();
    std::vector<uint32_t> shown, whole;
    long long redrawn = 0;
    const int frames = 240;
    for (int frame = 0; frame < frames; ++frame) {
        if (frame % 9 == 4) {
            blinking->SetVisible(!blinking->IsVisible(), tsv::Scope::Node);
        }
        if (frame % 23 == 11) {
            under->SetLayer(under->GetLayer() == 0 ? 2 : 0, tsv::Scope::Node);
        }
        Advance(16);
        Loop().Frame();
        redrawn += platform.GetLastFrameRedrawnPixels();
        ASSERT_TRUE(platform.GfxReadFrame(shown));
        ASSERT_TRUE(Loop().DrawOffscreen(whole));
        size_t differ = 0, first = 0;
        for (size_t i = 0; i < shown.size(); ++i) {
            if (((shown[i] ^ whole[i]) & 0xFFFFFFu) != 0 && differ++ == 0) {
                first = i;
            }
        }
        ASSERT_EQ(differ, 0u) << "frame " << frame << ": " << differ << " pixels differ, the first at ("
                              << first % 800 << ", " << first / 800 << ")";
    }
    // Most of the view stood still: most of it was not drawn again.
    EXPECT_LT(redrawn / frames, 800 * 600 / 2);
    EXPECT_GT(redrawn, 0);
}

} // namespace
} // namespace tsv::test
