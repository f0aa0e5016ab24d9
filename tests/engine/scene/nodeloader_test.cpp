#include "engine/scene/nodelibrary.h"
#include "engine/scene/nodeloader.h"
#include "scenetest.h"

#include <set>
#include <string>

namespace tsv::test {
namespace {

// `text` `count` times over.
std::string Repeat(const std::string& text, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i) {
        out += text;
    }
    return out;
}

class NodeFileTest : public SceneTest {
protected:
    // Writes a node file and returns its (absolute) path.
    std::string Write(const std::string& name, const std::string& text)
    {
        testsupport::WriteFile(m_dir.Path() + name, text);
        return m_dir.Path() + name;
    }
    static std::string Texture() { return std::string(BSH_SOURCE_DIR) + "/" + DataPath("quadrants.png"); }

    testsupport::ScratchDir m_dir;
    LogCapture log;
};

TEST_F(NodeFileTest, ElementsApplyInDocumentOrderWithApplyReplaceAndChildren)
{
    const std::string base = Write("base.xml", "<node><layer>7</layer><rotation>1.5</rotation>"
                                               "<node><layer>1</layer></node></node>");
    const std::string extra = Write("extra.xml", "<node><position><x>5</x></position><layer>8</layer></node>");
    const std::string leaf = Write("leaf.xml", "<node><layer>42</layer></node>");
    const std::string main = Write("main.xml", "<node>"
                                               "<layer>1</layer><layer>2</layer>"
                                               "<position><x>9</x></position>"
                                               "<replace>" + base + "</replace>"
                                               "<apply>" + extra + "</apply>"
                                               "<scale><x>2</x></scale>"
                                               "<visible>false</visible>"
                                               "<node>" + leaf + "</node>"
                                               "<node>ignored text<layer>3</layer></node>"
                                               "<node>/no/such/file.xml</node>"
                                               "</node>");
    SceneNodePtr node = LoadNodeFile(main, nullptr);
    ASSERT_TRUE(node);
    // "replace" discarded the position set before it; "apply" added to the replacement.
    EXPECT_EQ(node->GetLayer(), 8);
    EXPECT_FLOAT_EQ(node->GetPosition().x, 5.0f);
    EXPECT_FLOAT_EQ(node->GetRotation(), 1.5f);
    EXPECT_FLOAT_EQ(node->GetScale().x, 2.0f);
    EXPECT_FLOAT_EQ(node->GetScale().y, 1.0f) << "a missing scale component is 1";
    EXPECT_FALSE(node->IsVisible());
    // The base's child, the file child and the inline child; the missing file is left out.
    std::multiset<int32_t> layers;
    for (const HierarchyNodePtr& child : node->GetChildren()->nodes) {
        layers.insert(static_cast<SceneNode*>(child.Get())->GetLayer());
    }
    EXPECT_EQ(layers, (std::multiset<int32_t>{1, 3, 42}));
    EXPECT_GE(log.Count(LogLevel::Error, "Failed to load node from \"/no/such/file.xml\"!"), 1);
}

TEST_F(NodeFileTest, SubFormatsTakeTheirDefaults)
{
    const std::string path = Write("effects.xml",
                                   "<node>"
                                   "<rotatetodirection/>"
                                   "<velocity>12</velocity>"
                                   "<acceleration><y>3</y></acceleration>"
                                   "<lifetime>500</lifetime>"
                                   "<timer>game</timer>"
                                   "<mesh><width>20</width><height>10</height><anchory>0</anchory>"
                                   "<color>0x80102030</color><color3>0100</color3></mesh>"
                                   "<animation><frameend>3</frameend><fps>4</fps></animation>"
                                   "<noise/>"
                                   "<trail/>"
                                   "<prototype><optional/><randomvelocity/><randomacceleration>7</randomacceleration>"
                                   "<sound>boom</sound></prototype>"
                                   "</node>");
    SceneNodePtr node = LoadNodeFile(path, nullptr);
    ASSERT_TRUE(node);
    EXPECT_TRUE(node->GetRotateToDirection());
    EXPECT_EQ(node->GetVelocity(), (Vec3{12, 0, 0}));
    ASSERT_EQ(node->GetAccelerations().size(), 1u);
    EXPECT_EQ(node->GetAccelerations()[0], (Vec3{0, 3, 0}));
    EXPECT_EQ(node->GetExpiry(), 500);
    EXPECT_EQ(node->GetTimer().Get(), &App().GetTimer());

    const Mesh& mesh = node->GetMesh();
    EXPECT_FLOAT_EQ(mesh.boundWidth, 20.0f) << "width sets the drawn width";
    EXPECT_FLOAT_EQ(mesh.anchorX, 10.0f) << "and the anchor at its middle";
    EXPECT_FLOAT_EQ(mesh.anchorY, 0.0f) << "unless a later anchor overrides it";
    EXPECT_EQ(mesh.colors[0], 0x80102030u);
    EXPECT_EQ(mesh.colors[2], 64u) << "a leading 0 is octal";
    EXPECT_TRUE(mesh.colorAppliesToChild);

    const FrameAnimationDesc& a = node->GetAnimation();
    EXPECT_FALSE(a.enabled);
    EXPECT_EQ(a.frameEnd, 3);
    EXPECT_EQ(a.fps, 4);

    EXPECT_TRUE(node->HasNoise());
    EXPECT_TRUE(node->HasTrail());
    EXPECT_EQ(node->GetTrailNode(), nullptr) << "an empty trail has no node of its own";

    ASSERT_TRUE(node->IsEmitter());
    const EmitterDesc& e = *node->GetEmitter();
    EXPECT_EQ(e.count, 1);
    EXPECT_TRUE(e.optional);
    EXPECT_FALSE(e.attached);
    EXPECT_EQ(e.spawnRateMs, 0);
    EXPECT_TRUE(e.randomVelocity);
    EXPECT_EQ(e.randomVelocityAmount, 0);
    EXPECT_EQ(e.randomAccelerationAmount, 7);
    EXPECT_EQ(e.sound, "boom");

    // The word "false" switches the behaviour off again.
    const std::string off = Write("off.xml", "<node><rotatetodirection>false</rotatetodirection></node>");
    EXPECT_FALSE(LoadNodeFile(off, nullptr)->GetRotateToDirection());
}

TEST_F(NodeFileTest, InvalidKeyframesAreSkippedWithAnError)
{
    const std::string path = Write("keys.xml", "<node>"
                                               "<keyframe><rotation>1</rotation><time>5</time></keyframe>"
                                               "<keyframe><time>10</time><rotation>1</rotation></keyframe>"
                                               "<keyframe><color>0</color></keyframe>"
                                               "<layer>4</layer>"
                                               "</node>");
    SceneNodePtr node = LoadNodeFile(path, nullptr);
    ASSERT_TRUE(node);
    EXPECT_EQ(node->GetKeyframeCount(), 1u);
    EXPECT_EQ(node->GetLayer(), 4) << "the rest of the file still applies";
    EXPECT_EQ(log.Count(LogLevel::Error,
                                      "Error loading file \"" + path + "\" - keyframe parameters are invalid"),
              2);

    const std::string wrongRoot = Write("wrong.xml", "<screen><layer>1</layer></screen>");
    EXPECT_FALSE(LoadNodeFile(wrongRoot, nullptr));
    EXPECT_EQ(log.Count(LogLevel::Error,
                                      "Error loading file \"" + wrongRoot + "\" - root item must be <node>"),
              1);
}

TEST_F(NodeFileTest, ATextureWithoutMeshShowsTheWholeTexture)
{
    const std::string bare = Write("bare.xml", "<node><texture>" + Texture() + "</texture></node>");
    SceneNodePtr node = LoadNodeFile(bare, nullptr);
    ASSERT_TRUE(node && node->GetSprite());
    EXPECT_FLOAT_EQ(node->GetMesh().width, 40.0f);
    EXPECT_FLOAT_EQ(node->GetMesh().boundHeight, 40.0f);
    EXPECT_EQ(node->GetMeshScale(), (Vec2{1, 1}));

    const std::string meshed = Write("meshed.xml", "<node><texture>" + Texture() +
                                                       "</texture><mesh><width>10</width><height>10</height>"
                                                       "<boundwidth>30</boundwidth></mesh></node>");
    node = LoadNodeFile(meshed, nullptr);
    ASSERT_TRUE(node);
    EXPECT_FLOAT_EQ(node->GetMesh().width, 10.0f);
    EXPECT_EQ(node->GetMeshScale(), (Vec2{3, 1}));

    log.Clear();
    const std::string missing = Write("missing.xml", "<node><texture>/none/such.png</texture></node>");
    node = LoadNodeFile(missing, nullptr);
    ASSERT_TRUE(node);
    EXPECT_GE(log.Count(LogLevel::Error, "Texture not found: /none/such.png"), 1);
}

TEST_F(NodeFileTest, TheLibraryLoadsEachFileOnceAndHandsOutIndependentCopies)
{
    const std::string path = Write("lib.xml", "<node><layer>3</layer><node><layer>4</layer></node></node>");
    NodeLibrary& library = NodeLibrary::Instance();
    SceneNodePtr first = library.CreateNode(path);
    ASSERT_TRUE(first);
    // Changing the file now shows that the second request does not read it again.
    Write("lib.xml", "<node><layer>99</layer></node>");
    SceneNodePtr second = library.CreateNode(path);
    ASSERT_TRUE(second);
    EXPECT_NE(first.Get(), second.Get());
    EXPECT_EQ(second->GetLayer(), 3);
    EXPECT_EQ(second->GetChildCount(), 1u);
    first->SetLayer(50, tsv::Scope::Node);
    EXPECT_EQ(library.GetPrototype(path)->GetLayer(), 3);

    // A failed load is not remembered.
    const std::string late = m_dir.Path() + "late.xml";
    EXPECT_FALSE(library.CreateNode(late));
    Write("late.xml", "<node><layer>6</layer></node>");
    ASSERT_TRUE(library.CreateNode(late));
    EXPECT_EQ(library.CreateNode(late)->GetLayer(), 6);

    library.Clear();
}

// Node files written to hurt: loops of "apply", deep nesting, emitters that
// ask for floods, and huge keyframe lists. Each gets its message and the
// loader carries on with what it has.

TEST_F(NodeFileTest, ApplyLoopsAreCutWithAnError)
{
    // Directly, through a chain, and under other spellings of the file's own
    // name; what came before the loop still applies.
    const std::string dir = m_dir.Path();
    Write("self.xml", "<node><layer>2</layer><apply>" + dir + "self.xml</apply></node>");
    Write("a.xml", "<node><layer>3</layer><apply>" + dir + "b.xml</apply></node>");
    Write("b.xml", "<node><apply>" + dir + "c.xml</apply></node>");
    Write("c.xml", "<node><apply>" + dir + "a.xml</apply></node>");
    Write("spelled.xml", "<node><layer>4</layer><apply>" + dir + "./spelled.xml</apply><apply>" + dir +
                             "x/..//spelled.xml</apply></node>");
    const struct {
        const char* file;
        int32_t layer;
        int errors;
    } cases[] = {{"self.xml", 2, 1}, {"a.xml", 3, 1}, {"spelled.xml", 4, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        log.Clear();
        SceneNodePtr node = LoadNodeFile(dir + c.file, nullptr);
        ASSERT_TRUE(node);
        EXPECT_EQ(node->GetLayer(), c.layer);
        EXPECT_EQ(log.Count(LogLevel::Error, "applies itself"), c.errors);
    }

    // Through "replace" and a nested node path, in the library too: the file
    // loads without itself instead of recursing forever.
    log.Clear();
    Write("r.xml", "<node><replace>" + dir + "r.xml</replace></node>");
    Write("n.xml", "<node><node>" + dir + "n.xml</node></node>");
    EXPECT_TRUE(NodeLibrary::Instance().CreateNode(dir + "r.xml"));
    SceneNodePtr nested = NodeLibrary::Instance().CreateNode(dir + "n.xml");
    ASSERT_TRUE(nested);
    EXPECT_EQ(nested->GetChildCount(), 0u);
    EXPECT_EQ(log.Count(LogLevel::Error, "includes itself"), 2);
}

TEST_F(NodeFileTest, FilesThatFanOutStopAtTheirBudget)
{
    // Forty files, each applying the next twice and including it as a child
    // twice: 2^40 applications without a budget. The file loads, cut short,
    // with one Error.
    for (int i = 0; i < 40; ++i) {
        const std::string next = m_dir.Path() + "fan" + std::to_string(i + 1) + ".xml";
        Write("fan" + std::to_string(i) + ".xml", i == 39 ? "<node><layer>1</layer></node>"
                                                          : "<node><apply>" + next + "</apply><apply>" + next +
                                                                "</apply><node>" + next + "</node><node>" + next +
                                                                "</node></node>");
    }
    SceneNodePtr node = LoadNodeFile(m_dir.Path() + "fan0.xml", nullptr);
    ASSERT_TRUE(node);
    EXPECT_EQ(log.Count(LogLevel::Error, "expands to more than"), 1);
    // Through the library too, and a later file starts with a fresh budget.
    log.Clear();
    EXPECT_TRUE(NodeLibrary::Instance().CreateNode(m_dir.Path() + "fan20.xml"));
    EXPECT_EQ(log.Count(LogLevel::Error, "expands to more than"), 1);
    log.Clear();
    EXPECT_TRUE(LoadNodeFile(m_dir.Path() + "fan38.xml", nullptr));
    EXPECT_EQ(log.Count(LogLevel::Error, "expands to more than"), 0);
}

TEST_F(NodeFileTest, DeepNestingStopsWithAnErrorInsteadOfOverflowingTheStack)
{
    // 14,000 nested nodes: the XML reader refuses past its depth limit.
    const std::string deep = Repeat("<node>", 14000) + Repeat("</node>", 14000);
    EXPECT_FALSE(LoadNodeFile(Write("deep.xml", deep), nullptr));
    EXPECT_GE(log.Count(LogLevel::Error, "nested deeper than"), 1);

    // 100 nested nodes parse as XML but pass the node loader's own limit.
    const std::string hundred = Repeat("<node><layer>1</layer>", 100) + Repeat("</node>", 100);
    log.Clear();
    EXPECT_TRUE(LoadNodeFile(Write("hundred.xml", hundred), nullptr));
    EXPECT_GE(log.Count(LogLevel::Error, "nodes nested deeper than"), 1);
}

TEST_F(NodeFileTest, EmittersAreCappedWithAWarning)
{
    SceneNodePtr flood = LoadNodeFile(Write("flood.xml", "<node><prototype><count>2147483647</count>"
                                                         "<spawnrate>1</spawnrate></prototype></node>"),
                                      nullptr);
    ASSERT_TRUE(flood);
    ASSERT_TRUE(flood->IsEmitter());
    EXPECT_EQ(log.Count(LogLevel::Warning, "count of 2147483647 is taken as 256"), 1);
    EXPECT_EQ(log.Count(LogLevel::Warning, "spawn rate of 1 ms is taken as 10 ms"), 1);

    // Fired for a second of 10 ms frames, it stays within its cap per spawn.
    Scene().AddNode(flood, tsv::Scope::Subtree, tsv::Attach::Now);
    flood->Fire(0, tsv::FireDelay::OnNode);
    const size_t before = Scene().GetDrawnNodeCount();
    Frames(100, 10);
    EXPECT_LE(Scene().GetDrawnNodeCount() - before, size_t{256} * 101);
    EXPECT_GT(Scene().GetDrawnNodeCount(), before);
}

TEST_F(NodeFileTest, HundredThousandKeyframesLoadInOrder)
{
    std::string text = "<node>";
    for (int i = 0; i < 100000; ++i) {
        text += "<keyframe><time>" + std::to_string(i) + "</time><rotation>1</rotation></keyframe>";
    }
    // One out of order still lands in its place.
    text += "<keyframe><time>5</time><position><x>1</x></position></keyframe></node>";
    SceneNodePtr node = LoadNodeFile(Write("keys.xml", text), nullptr);
    ASSERT_TRUE(node);
    EXPECT_EQ(node->GetKeyframeCount(), 100001u);
}

} // namespace
} // namespace tsv::test
