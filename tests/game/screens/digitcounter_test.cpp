// The digit counter: clamping, leading zeros, the visible count and centring.

#include "engine/scene/scenetest.h"
#include "game/screens/digitcounter.h"

#include <algorithm>

namespace bsh::test {
namespace {

using DigitCounterTest = tsv::test::SceneTest;
using Digits = std::array<int, DigitCounter::kDigits>;

TEST_F(DigitCounterTest, ValuesAreClampedAndShownWithLeadingZeros)
{
    DigitCounter counter;
    EXPECT_EQ(counter.ShownDigits(), (Digits{0, 0, 0, 0, 0, 0, 0, 0, 0}));
    counter.SetValue(1205);
    EXPECT_EQ(counter.ShownDigits(), (Digits{0, 0, 0, 0, 0, 1, 2, 0, 5}));
    counter.SetValue(-5);
    EXPECT_EQ(counter.GetValue(), 0);
    EXPECT_EQ(counter.ShownDigits(), (Digits{0, 0, 0, 0, 0, 0, 0, 0, 0}));
    counter.SetValue(2000000000);
    EXPECT_EQ(counter.GetValue(), 999999999);
    EXPECT_EQ(counter.ShownDigits(), (Digits{9, 9, 9, 9, 9, 9, 9, 9, 9}));
    EXPECT_EQ(counter.Node()->GetChildren()->nodes.size(), 9u);
}

TEST_F(DigitCounterTest, TheVisibleDigitsAreTheLastOnesAndStayCentred)
{
    DigitCounter counter;
    counter.SetDigitCount(6);
    std::vector<float> xs; // of the visible digits
    for (const tsv::HierarchyNodePtr& child : counter.Node()->GetChildren()->nodes) {
        auto* digit = static_cast<tsv::SceneNode*>(child.Get());
        if (digit->IsVisible()) {
            xs.push_back(digit->GetPosition().x);
        }
    }
    ASSERT_EQ(xs.size(), 6u);
    // Centred on the group (the children are kept in no particular order).
    std::sort(xs.begin(), xs.end());
    EXPECT_FLOAT_EQ(xs.front(), -xs.back());
    counter.SetDigitCount(0);  // ignored
    counter.SetDigitCount(10); // ignored
    EXPECT_EQ(counter.GetDigitCount(), 6);
}

} // namespace
} // namespace bsh::test
