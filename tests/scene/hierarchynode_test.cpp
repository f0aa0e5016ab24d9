#include "scenetest.h"

namespace tsv::test {
namespace {

using HierarchyNodeTest = SceneTest;

TEST_F(HierarchyNodeTest, Placeholder) { EXPECT_EQ(Now() > 0, true); }

} // namespace
} // namespace tsv::test
