// Node files written to hurt: loops of "apply", deep nesting, emitters that
// ask for floods, and huge keyframe lists. Each gets its message and the
// loader carries on with what it has.

#include "engine/core/util/xml/xmlloader.h"
#include "engine/scene/nodelibrary.h"
#include "engine/scene/nodeloader.h"
#include "scenetest.h"
#include "support/testsupport.h"

#include <string>

namespace tsv::test {
namespace {

class HostileNodeFileTest : public SceneTest {
protected:
    std::string Write(const std::string& name, const std::string& text)
    {
        testsupport::WriteFile(m_dir.Path() + name, text);
        return m_dir.Path() + name;
    }
    testsupport::ScratchDir m_dir;
    LogCapture log;
};

TEST_F(HostileNodeFileTest, ApplyLoopsAreCutWithAnError)
{
    // Directly, through a chain, and through "replace" and a nested node path.
    const std::string self = Write("self.xml", "<node><layer>2</layer><apply>" + m_dir.Path() + "self.xml</apply></node>");
    Write("a.xml", "<node><layer>3</layer><apply>" + m_dir.Path() + "b.xml</apply></node>");
    Write("b.xml", "<node><apply>" + m_dir.Path() + "c.xml</apply></node>");
    Write("c.xml", "<node><apply>" + m_dir.Path() + "a.xml</apply></node>");
    const std::string replaced = Write("r.xml", "<node><replace>" + m_dir.Path() + "r.xml</replace></node>");
    const std::string child = Write("n.xml", "<node><node>" + m_dir.Path() + "n.xml</node></node>");

    SceneNodePtr node = LoadNodeFile(self, nullptr);
    ASSERT_TRUE(node);
    EXPECT_EQ(node->GetLayer(), 2); // what came before the loop still applies
    EXPECT_GE(log.Count(LogLevel::Error, "applies itself"), 1);

    log.Clear();
    node = LoadNodeFile(m_dir.Path() + "a.xml", nullptr);
    ASSERT_TRUE(node);
    EXPECT_EQ(node->GetLayer(), 3);
    EXPECT_EQ(log.Count(LogLevel::Error, "applies itself"), 1);

    log.Clear();
    EXPECT_TRUE(NodeLibrary::Instance().CreateNode(replaced));
    EXPECT_TRUE(NodeLibrary::Instance().CreateNode(child));
    EXPECT_EQ(log.Count(LogLevel::Error, "includes itself"), 2);
}

TEST_F(HostileNodeFileTest, FilesThatFanOutStopAtTheirBudgetAndOtherSpellingsAreTheSameFile)
{
    // Applying itself under other spellings of its name.
    const std::string spelled = Write("spelled.xml", "<node><layer>4</layer><apply>" + m_dir.Path() +
                                                         "./spelled.xml</apply><apply>" + m_dir.Path() +
                                                         "x/..//spelled.xml</apply></node>");
    SceneNodePtr node = LoadNodeFile(spelled, nullptr);
    ASSERT_TRUE(node);
    EXPECT_EQ(node->GetLayer(), 4);
    EXPECT_EQ(log.Count(LogLevel::Error, "applies itself"), 2);

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
    log.Clear();
    node = LoadNodeFile(m_dir.Path() + "fan0.xml", nullptr);
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

TEST_F(HostileNodeFileTest, DeepNestingStopsWithAnErrorInsteadOfOverflowingTheStack)
{
    // 14,000 nested nodes: the XML reader refuses past its depth limit.
    std::string deep;
    for (int i = 0; i < 14000; ++i) {
        deep += "<node>";
    }
    for (int i = 0; i < 14000; ++i) {
        deep += "</node>";
    }
    EXPECT_FALSE(LoadNodeFile(Write("deep.xml", deep), nullptr));
    EXPECT_GE(log.Count(LogLevel::Error, "nested deeper than"), 1);

    // 100 nested nodes parse as XML but pass the node loader's own limit.
    std::string hundred;
    for (int i = 0; i < 100; ++i) {
        hundred += "<node><layer>1</layer>";
    }
    for (int i = 0; i < 100; ++i) {
        hundred += "</node>";
    }
    log.Clear();
    EXPECT_TRUE(LoadNodeFile(Write("hundred.xml", hundred), nullptr));
    EXPECT_GE(log.Count(LogLevel::Error, "nodes nested deeper than"), 1);
}

TEST_F(HostileNodeFileTest, EmittersAreCappedWithAWarning)
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

TEST_F(HostileNodeFileTest, HundredThousandKeyframesLoadInOrder)
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
