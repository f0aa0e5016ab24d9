// The window of any size and the gamepad, on plain data: where the view sits
// in a window and where a pointer lands, what the pad's buttons and stick
// send.

#include "engine/platform/keynames.h"
#include "engine/platform/padnavigator.h"
#include "engine/platform/platform.h"
#include "engine/platform/viewfit.h"

#include <gtest/gtest.h>

using namespace tsv;

namespace {

int Key(const char* name) { return PlatformKeyFromKeyCode(KeyCodeFromName(name)); }

} // namespace

TEST(ViewFitTest, TheViewKeepsItsAspectInTheMiddleOfAnyWindow)
{
    struct Case {
        int w, h;
        ViewFit expect;
    };
    const Case cases[] = {
        {800, 600, {0, 0, 800, 600, 1.0f, 1}},
        // Wider than 4:3: bars left and right; 1.8 is enlarged to 2 and filtered down.
        {1920, 1080, {240, 0, 1440, 1080, 1.8f, 2}},
        // Taller: bars above and below.
        {800, 1000, {0, 200, 800, 600, 1.0f, 1}},
        // A whole scale a few pixels short of the window keeps exact 2 x 2 blocks.
        {1630, 1220, {15, 10, 1600, 1200, 2.0f, 2}},
        // Smaller than the view: shrunk, never cut.
        {400, 400, {0, 50, 400, 300, 0.5f, 1}},
    };
    for (const Case& c : cases) {
        const ViewFit fit = FitView(c.w, c.h);
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        EXPECT_EQ(fit.x, c.expect.x);
        EXPECT_EQ(fit.y, c.expect.y);
        EXPECT_EQ(fit.width, c.expect.width);
        EXPECT_EQ(fit.height, c.expect.height);
        EXPECT_FLOAT_EQ(fit.scale, c.expect.scale);
        EXPECT_EQ(fit.prescale, c.expect.prescale);
        EXPECT_LE(fit.x + fit.width, c.w);
        EXPECT_LE(fit.y + fit.height, c.h);
    }
    // A window of nothing still gives a usable fit.
    EXPECT_GT(FitView(0, -5).scale, 0.0f);
}

TEST(ViewFitTest, PointersMapBothWaysAndTheBarsLieOutsideTheView)
{
    const ViewFit fit = FitView(1920, 1080);
    float vx = 0, vy = 0;
    WindowToView(fit, 240 + 1.8f * 100, 1.8f * 50, vx, vy);
    EXPECT_NEAR(vx, 100, 1e-3);
    EXPECT_NEAR(vy, 50, 1e-3);
    EXPECT_TRUE(IsInView(vx, vy));
    for (float x : {0.0f, 239.0f, 1681.0f, 1919.0f}) {
        WindowToView(fit, x, 500, vx, vy);
        EXPECT_FALSE(IsInView(vx, vy)) << x;
    }
    // A drag into the left bar keeps its direction.
    WindowToView(fit, 100, 540, vx, vy);
    EXPECT_LT(vx, 0);
    float wx = 0, wy = 0;
    ViewToWindow(fit, 799, 599, wx, wy);
    WindowToView(fit, wx, wy, vx, vy);
    EXPECT_NEAR(vx, 799, 1e-3);
    EXPECT_NEAR(vy, 599, 1e-3);

    // A high-density window: 1600 x 1200 pixels on 800 x 600 points. The
    // mouse counts points, so the window's middle point is the view's middle.
    const ViewFit dense = FitWindow(1600, 1200, 800, 600);
    EXPECT_EQ(dense.pointScale, 2.0f);
    PointToView(dense, 400, 300, vx, vy);
    EXPECT_NEAR(vx, 400, 1e-3);
    EXPECT_NEAR(vy, 300, 1e-3);
    float px = 0, py = 0;
    ViewToPoint(dense, 100, 50, px, py);
    EXPECT_NEAR(px, 100, 1e-3);
    EXPECT_NEAR(py, 50, 1e-3);
}

TEST(PadNavigatorTest, ButtonsAreKeysAndAHeldDirectionRepeats)
{
    PadNavigator pad;
    PadState state;
    state.Set(PadButton::A, true);
    EXPECT_EQ(pad.Update(state, 0), std::vector<int>{Key("KEY_RETURN")});
    EXPECT_EQ(pad.Held(), std::vector<int>{Key("KEY_RETURN")});
    EXPECT_TRUE(pad.Update(state, 500).empty()) << "a held button presses once";
    state = PadState{};
    for (auto [button, key] : {std::pair{PadButton::B, "KEY_ESCAPE"}, std::pair{PadButton::Start, "KEY_PAUSE"},
                               std::pair{PadButton::Back, "KEY_TAB"}}) {
        state.Set(button, true);
        EXPECT_EQ(pad.Update(state, 600), std::vector<int>{Key(key)}) << key;
        state.Set(button, false);
        pad.Update(state, 610);
    }

    // The d-pad: once at once, again after the delay, then at the repeat rate.
    state.Set(PadButton::Down, true);
    std::vector<int64_t> presses;
    for (int64_t t = 1000; t <= 1000 + PadNavigator::kRepeatDelayMs + 2 * PadNavigator::kRepeatMs; t += 10) {
        for (int key : pad.Update(state, t)) {
            EXPECT_EQ(key, Key("KEY_DOWN"));
            presses.push_back(t);
        }
    }
    const int64_t delay = PadNavigator::kRepeatDelayMs, rate = PadNavigator::kRepeatMs;
    EXPECT_EQ(presses, (std::vector<int64_t>{1000, 1000 + delay, 1000 + delay + rate, 1000 + delay + 2 * rate}));
    // Let go and press again: at once, not when the old repeat would have come.
    state.Set(PadButton::Down, false);
    EXPECT_TRUE(pad.Update(state, 2000).empty());
    state.Set(PadButton::Down, true);
    EXPECT_EQ(pad.Update(state, 2010).size(), 1u);
    pad.Reset();
    EXPECT_TRUE(pad.Held().empty());
}

TEST(PadNavigatorTest, TheStickHasADeadZoneAndDoesNotFlickerAtItsEdge)
{
    PadNavigator pad;
    PadState state;
    state.stickX = 0.4f; // inside the dead zone
    EXPECT_TRUE(pad.Update(state, 0).empty());
    state.stickX = 0.6f;
    EXPECT_EQ(pad.Update(state, 10), std::vector<int>{Key("KEY_RIGHT")});
    // Sagging back towards the middle, but not past the release point: still held, no new press.
    state.stickX = 0.4f;
    EXPECT_TRUE(pad.Update(state, 20).empty());
    EXPECT_EQ(pad.Held(), std::vector<int>{Key("KEY_RIGHT")});
    state.stickX = 0.2f;
    EXPECT_TRUE(pad.Update(state, 30).empty());
    EXPECT_TRUE(pad.Held().empty());
    // The dominant axis decides; up is negative y.
    state.stickX = 0.55f;
    state.stickY = -0.7f;
    EXPECT_EQ(pad.Update(state, 40), std::vector<int>{Key("KEY_UP")});
}
