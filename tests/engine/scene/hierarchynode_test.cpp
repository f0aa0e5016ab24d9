#include "scenetest.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace tsv::test {
namespace {

class SceneGraphTest : public SceneTest {
protected:
    // A small quad on `layer` at depth `z`.
    static SceneNodePtr QuadOn(int32_t layer, float z = 0)
    {
        SceneNodePtr node = Quad(4, 4);
        node->SetLayer(layer, tsv::Scope::Node);
        node->SetPosition({0, 0, z});
        return node;
    }
};

std::vector<const HierarchyNode*> DrawnOrder()
{
    std::vector<const HierarchyNode*> order;
    Scene::Instance().ForEachDrawn([&](const HierarchyNode& node) { order.push_back(&node); });
    return order;
}

TEST_F(SceneGraphTest, DrawingOrderAndTheStopAtTheFirstInvisibleNode)
{
    SceneNodePtr top = QuadOn(0), bottom = QuadOn(-5), nearer = QuadOn(3, 1), farther = QuadOn(3, 7);
    SceneNodePtr hidden = QuadOn(-100), emitter = QuadOn(-200);
    hidden->SetVisible(false, tsv::Scope::Node);
    emitter->SetEmitter(EmitterDesc{});
    AddNow({top, hidden, emitter, nearer, bottom, farther});

    // Visible before invisible, non-emitters before emitters, then layer, then larger z first.
    std::vector<const HierarchyNode*> expected = {bottom.Get(), top.Get(), farther.Get(), nearer.Get(),
                                                  emitter.Get(), hidden.Get()};
    EXPECT_EQ(DrawnOrder(), expected);
    Loop().DrawScene();
    EXPECT_EQ(Scene().GetLastDrawCount(), 4) << "drawing stops at the first emitter or invisible node";

    // Moving a node to another layer takes it out until the end of the update step puts it in its new place.
    bottom->SetLayer(10, tsv::Scope::Node);
    EXPECT_EQ(Scene().GetDrawnNodeCount(), 5u);
    EXPECT_EQ(Scene().GetPendingNodeCount(), 1u);
    EXPECT_FALSE(bottom->IsAttached());
    Scene().EndStep();
    EXPECT_EQ(Scene().GetPendingNodeCount(), 0u);
    expected = {top.Get(), farther.Get(), nearer.Get(), bottom.Get(), emitter.Get(), hidden.Get()};
    EXPECT_EQ(DrawnOrder(), expected);

    // A change of z re-sorts the node (and its subtree) the same way.
    SceneNodePtr child = QuadOn(3);
    nearer->AddChild(child);
    EXPECT_TRUE(child->IsAttached()) << "a child of an attached node is attached at once";
    nearer->SetPosition({0, 0, 9});
    EXPECT_FALSE(child->IsAttached());
    Scene().EndStep();
    EXPECT_TRUE(child->IsAttached());
    EXPECT_FLOAT_EQ(child->GetWorldPosition().z, 9.0f);
    // Equal layer and depth: the node made first draws first, so the parent under its child.
    expected = {top.Get(), nearer.Get(), child.Get(), farther.Get(), bottom.Get(), emitter.Get(), hidden.Get()};
    EXPECT_EQ(DrawnOrder(), expected);
}

// A change to the scene made by a task, once, in the next update.
class ChangeInTheUpdate : public Task {
public:
    explicit ChangeInTheUpdate(std::function<void()> change) : m_change(std::move(change)) {}
    void Run() override
    {
        m_change();
        Kill();
    }

private:
    std::function<void()> m_change;
};

// The colour at the centre of the PNG `path`, as 0xRRGGBB.
uint32_t CentreColour(const std::string& path)
{
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded) {
        ADD_FAILURE() << path;
        return 0;
    }
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    const uint32_t colour = static_cast<const uint32_t*>(rgb->pixels)[300 * rgb->pitch / 4 + 400] & 0xFFFFFFu;
    SDL_FreeSurface(rgb);
    return colour;
}

TEST_F(SceneGraphTest, AFrameDrawsItsOwnUpdateAndAScreenshotShowsTheScreenAsItStood)
{
    // Green lies under red until a task of the next frame lifts it above.
    SceneNodePtr red = Quad(800, 600), green = Quad(800, 600);
    red->SetColor(0xFFFF0000);
    green->SetColor(0xFF00FF00);
    green->SetLayer(-1, tsv::Scope::Node);
    AddNow({red, green});
    App().GetTaskManager().AddTask(
        IntrusivePtr<Task>(new ChangeInTheUpdate([&] { green->SetLayer(1, tsv::Scope::Node); })), 0);

    testsupport::ScratchDir dir;
    Loop().GetPlatform()->RequestScreenshot(dir.Path() + "asked.png");
    Advance(10);
    Loop().Frame();
    EXPECT_EQ(Scene().GetPendingNodeCount(), 0u) << "the update step attaches what it moved";
    std::vector<uint32_t> shown;
    ASSERT_TRUE(Loop().GetPlatform()->GfxReadFrame(shown));
    EXPECT_EQ(shown[300 * 800 + 400] & 0xFFFFFFu, 0x00FF00u) << "the frame shows its own update";
    EXPECT_EQ(CentreColour(dir.Path() + "asked.png"), 0xFF0000u) << "the screen when the screenshot was asked for";
}

TEST_F(SceneGraphTest, WorldTransformOfNestedRotatedAndScaledNodes)
{
    SceneNodePtr root = Quad(10, 10), middle = Quad(10, 10), leaf = Quad(10, 10);
    root->SetPosition({100, 50, 2});
    root->SetRotation(static_cast<float>(M_PI / 2));
    root->SetScale(2, 3);
    middle->SetPosition({10, 0, 1});
    middle->SetRotation(0.25f);
    middle->SetScale(0.5f, 2);
    leaf->SetPosition({0, 4, 0});
    root->AddChild(middle);
    middle->AddChild(leaf);

    // middle: u = 20, v = 0 turned by 90 degrees -> (100, 70).
    EXPECT_NEAR(middle->GetWorldPosition().x, 100.0f, 1e-4f);
    EXPECT_NEAR(middle->GetWorldPosition().y, 70.0f, 1e-4f);
    EXPECT_FLOAT_EQ(middle->GetWorldPosition().z, 3.0f);
    EXPECT_FLOAT_EQ(middle->GetWorldScale().x, 1.0f);
    EXPECT_FLOAT_EQ(middle->GetWorldScale().y, 6.0f);
    // leaf: u = 0, v = 24 turned by pi/2 + 0.25.
    const float r = static_cast<float>(M_PI / 2) + 0.25f;
    EXPECT_NEAR(leaf->GetWorldPosition().x, 100.0f - std::sin(r) * 24.0f, 1e-3f);
    EXPECT_NEAR(leaf->GetWorldPosition().y, 70.0f + std::cos(r) * 24.0f, 1e-3f);
    EXPECT_NEAR(leaf->GetWorldRotation(), r, 1e-6f);

    // Changing the root moves the whole subtree.
    root->SetPosition({0, 0, 2});
    EXPECT_NEAR(leaf->GetWorldPosition().x, -std::sin(r) * 24.0f, 1e-3f);
    // Without a world update, only the local value changes.
    root->SetPosition({500, 0, 2}, tsv::Transform::Later);
    EXPECT_NEAR(leaf->GetWorldPosition().x, -std::sin(r) * 24.0f, 1e-3f);
}

TEST_F(SceneGraphTest, DrawnCornersFollowAnchorScaleRotationAndSnapping)
{
    SceneNodePtr node = MakeIntrusive<SceneNode>();
    Mesh mesh(20, 10, 40, 10); // drawn twice as wide as cut
    mesh.anchorX = 5;
    mesh.anchorY = 0;
    node->SetMesh(mesh);
    node->SetPosition({10, -20, 0});
    float c[8];
    ASSERT_TRUE(node->ComputeCorners(c));
    const float expected[8] = {400, 280, 440, 280, 440, 290, 400, 290};
    for (int i = 0; i < 8; ++i) {
        EXPECT_FLOAT_EQ(c[i], expected[i]) << "coordinate " << i;
    }

    // A combined y scale of 0 takes the combined x scale (world 0.5 times mesh 2): uniform.
    node->SetScale(0.5f, 0);
    ASSERT_TRUE(node->ComputeCorners(c));
    EXPECT_FLOAT_EQ(c[0], 410 - 5 * 1.0f);
    EXPECT_FLOAT_EQ(c[5], 280 + 10 * 1.0f);

    // A quarter turn maps (x, y) to (-y, x) around the centre; snapping rounds down.
    node->SetScale(1, 1);
    node->SetRotation(static_cast<float>(M_PI / 2));
    node->SetPosition({10.7f, -20.2f, 0});
    node->SetPixelSnap(true);
    ASSERT_TRUE(node->ComputeCorners(c));
    // Top right corner before turning: (30, 0) -> (0, 30).
    EXPECT_FLOAT_EQ(c[2], std::floor(410.7f - 0.0f));
    EXPECT_FLOAT_EQ(c[3], std::floor(279.8f + 30.0f));

    // A given corner replaces the rectangle's.
    node->SetPixelSnap(false);
    node->SetRotation(0);
    mesh.vertices[0] = {-1, -2, 0};
    node->SetMesh(mesh);
    ASSERT_TRUE(node->ComputeCorners(c));
    EXPECT_FLOAT_EQ(c[0], 410.7f - 2.0f);
    EXPECT_FLOAT_EQ(c[1], 279.8f - 2.0f);

    EXPECT_FALSE(MakeIntrusive<SceneNode>()->ComputeCorners(c)) << "no sprite, nothing drawn";
}

TEST_F(SceneGraphTest, ExpiredNodesLeaveTheSceneAndTheirParentDropsThemLater)
{
    SceneNodePtr parent = Quad(4, 4), child = Quad(4, 4), keeper = Quad(4, 4);
    child->SetLifetime(100);
    parent->AddChild(child);
    AddNow({parent, keeper});
    EXPECT_EQ(Scene().GetDrawnNodeCount(), 3u);

    Frames(1, 99);
    EXPECT_TRUE(child->IsAttached());
    Advance(1);
    // The update step is where expiry is noticed; the parent is updated first and still holds it.
    Scene().UpdateNodes();
    EXPECT_FALSE(child->IsAttached());
    EXPECT_EQ(child->GetParent(), parent.Get());
    EXPECT_EQ(parent->GetChildCount(), 1u);
    Frames(1, 1);
    EXPECT_EQ(parent->GetChildCount(), 0u);
    EXPECT_EQ(child->GetParent(), nullptr);

    // A node with expiry 0 stays until it is removed explicitly.
    Frames(5, 1000);
    EXPECT_TRUE(keeper->IsAttached());
    Scene().RemoveNode(keeper, tsv::Scope::Subtree, tsv::Detach::Now, tsv::Rejoin::Never);
    EXPECT_FALSE(keeper->IsAttached());

    // A detached but still living child is kept by its parent.
    SceneNodePtr living = Quad(2, 2);
    parent->AddChild(living);
    Scene().RemoveNode(living, tsv::Scope::Subtree, tsv::Detach::Now, tsv::Rejoin::Never);
    Frames(1, 1);
    EXPECT_EQ(living->GetParent(), parent.Get());
}

TEST_F(SceneGraphTest, ScheduledNodesAppearAtTheirTimeAndLiveTheirLifetimeFromThere)
{
    SceneNodePtr node = Quad(4, 4);
    node->SetLifetime(200);
    const int64_t start = Now();
    Scene().Schedule(node, start + 300, tsv::ScheduleAction::AttachClone);
    EXPECT_EQ(Scene().GetScheduledCount(), 1u);

    Frames(1, 299);
    EXPECT_EQ(Scene().GetDrawnNodeCount(), 0u);
    Frames(1, 1);
    ASSERT_EQ(Scene().GetDrawnNodeCount(), 1u);
    const HierarchyNode* shown = nullptr;
    Scene().ForEachDrawn([&](const HierarchyNode& n) { shown = &n; });
    EXPECT_NE(shown, node.Get()) << "the scene gets a clone";
    EXPECT_EQ(shown->GetExpiry(), start + 500);
    Frames(1, 199);
    EXPECT_EQ(Scene().GetDrawnNodeCount(), 1u);
    Frames(1, 1);
    EXPECT_EQ(Scene().GetDrawnNodeCount(), 0u);

    // Clearing a range of layers drops scheduled entries and expires attached nodes with their children.
    SceneNodePtr low = QuadOn(5), high = QuadOn(95), lowChild = QuadOn(200);
    low->AddChild(lowChild);
    AddNow({low, high});
    Scene().Schedule(low, Now() + 50, tsv::ScheduleAction::AttachClone);
    Scene().ClearLayers(0, 90);
    EXPECT_EQ(Scene().GetScheduledCount(), 0u);
    Frames(1, 1);
    EXPECT_FALSE(low->IsAttached());
    EXPECT_FALSE(lowChild->IsAttached());
    EXPECT_TRUE(high->IsAttached());
}

TEST_F(SceneGraphTest, SetTimerWarnsOnlyOnASecondDirectAssignment)
{
    LogCapture log;
    const std::string warning = "Another HierarchyNode::SetTimer invoke";
    SceneNodePtr parent = Quad(4, 4), child = Quad(4, 4);
    parent->AddChild(child);
    IntrusivePtr<Timer> game(&App().GetTimer());
    parent->SetTimer(game, tsv::Scope::Subtree, tsv::Reassign::Warn);
    EXPECT_EQ(child->GetTimer(), game);
    // The child already has a timer from the recursion, but the recursion itself is internal.
    parent->SetTimer(SystemTimer(), tsv::Scope::Subtree, tsv::Reassign::Warn);
    EXPECT_EQ(log.Count(LogLevel::Warning, warning), 1);
    EXPECT_EQ(child->GetTimer(), SystemTimer());
    child->SetTimer(game, tsv::Scope::Node, tsv::Reassign::Warn);
    EXPECT_EQ(log.Count(LogLevel::Warning, warning), 2);
}

TEST_F(SceneGraphTest, ReparentingFollowsTheNewParentInAndOutOfTheScene)
{
    SceneNodePtr attached = QuadOn(0, 5), detached = Quad(4, 4), child = Quad(4, 4);
    attached->AddChild(child);
    AddNow({attached});
    EXPECT_FLOAT_EQ(child->GetWorldPosition().z, 5.0f);

    detached->AddChild(child);
    EXPECT_EQ(attached->GetChildCount(), 0u);
    Scene().EndStep();
    EXPECT_FALSE(child->IsAttached()) << "a node under a detached parent stays out of the scene";
    EXPECT_FLOAT_EQ(child->GetWorldPosition().z, 0.0f);

    // Back under the attached parent it is sorted by its new depth: 5 is drawn before 3.
    SceneNodePtr middle = QuadOn(0, 3);
    AddNow({middle});
    attached->AddChild(child);
    EXPECT_TRUE(child->IsAttached());
    const std::vector<const HierarchyNode*> order = DrawnOrder();
    EXPECT_LT(std::find(order.begin(), order.end(), child.Get()), std::find(order.begin(), order.end(), middle.Get()));
}

TEST_F(SceneGraphTest, ClonesAreIndependentAndTheInstanceCountFollowsLifetimes)
{
    const int before = SceneNode::GetInstanceCount();
    {
        SceneNodePtr parent = Quad(4, 4);
        parent->AddChild(Quad(2, 2));
        parent->SetLifetime(50);
        HierarchyNodePtr deep = parent->Clone(tsv::Scope::Subtree);
        HierarchyNodePtr flat = parent->Clone(tsv::Scope::Node);
        EXPECT_EQ(SceneNode::GetInstanceCount(), before + 5);
        EXPECT_EQ(deep->GetChildCount(), 1u);
        EXPECT_EQ(flat->GetChildCount(), 0u);
        EXPECT_EQ(deep->GetExpiry(), parent->GetExpiry());
        deep->ShiftTime(100, tsv::Scope::Subtree);
        EXPECT_EQ(deep->GetExpiry(), parent->GetExpiry() + 100);
    }
    EXPECT_EQ(SceneNode::GetInstanceCount(), before);
}

} // namespace
} // namespace tsv::test
