#include "guitest.h"

#include "engine/gui/fadescreen.h"
#include "engine/gui/guiscript.h"
#include "engine/gui/mousecursor.h"
#include "engine/gui/standarddialog.h"
#include "engine/platform/keynames.h"

namespace tsv::test {
namespace {

class ScreenStackTest : public GuiTest {
protected:
    // One scheduler pass after `ms` of time.
    static void Step(int64_t ms)
    {
        Advance(ms);
        App().GetTaskManager().Execute();
    }
    ScreenStack& Stack() { return ScreenStack::Instance(); }
    // A frame with `key` pressed, the mouse in the top left corner.
    static GuiInput Pressed(KeyId key, int64_t now)
    {
        GuiInput input = At(now, 0, 0, false);
        input.pressedKey = KeyCode(key);
        return input;
    }
};

class CountingScreen : public Screen {
public:
    explicit CountingScreen(bool accept = true) : m_accept(accept) {}
    bool OnAdd() override { return m_accept && Screen::OnAdd(); }
    void Run() override { ++frames; }
    int frames = 0;

private:
    bool m_accept;
};

TEST_F(ScreenStackTest, PushAndRemove)
{
    testsupport::LogCapture log;
    EXPECT_FALSE(Stack().Remove());
    IntrusivePtr<CountingScreen> a(new CountingScreen), b(new CountingScreen), refused(new CountingScreen(false));
    Stack().Push(ScreenPtr(a.Get()));
    Stack().Push(ScreenPtr(b.Get()));
    Stack().Push(ScreenPtr(refused.Get()));
    Step(10);
    EXPECT_EQ(a->frames, 1);
    EXPECT_EQ(refused->frames, 0); // listed, but never run
    EXPECT_EQ(Stack().Count(), 3u);

    // The refused screen is not in the task list: removing it says so.
    EXPECT_TRUE(Stack().Remove());
    EXPECT_TRUE(log.Contains(LogLevel::Error, "Failed to remove screen"));
    // Null removes the newest only.
    EXPECT_TRUE(Stack().Remove());
    EXPECT_EQ(Stack().GetScreens().back().Get(), a.Get());
    Step(10);
    EXPECT_EQ(b->frames, 1);
    EXPECT_EQ(a->frames, 2);
}

TEST_F(ScreenStackTest, ATransitionRunsItsStepInTheDarkAndThenLeaves)
{
    int steps = 0;
    RunScreenTransition([&steps] { ++steps; });
    ASSERT_EQ(Stack().Count(), 1u);
    FadeScreen* fade = static_cast<FadeScreen*>(Stack().GetScreens().front().Get());
    EXPECT_EQ(fade->GetOverlay()->GetLayer(), FadeScreen::kLayer);
    EXPECT_TRUE(Stack().IsCovered());
    Step(490);
    EXPECT_EQ(steps, 0);
    Step(20);
    EXPECT_EQ(steps, 1);
    Step(480);
    EXPECT_EQ(Stack().Count(), 1u);
    Step(20);
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(Stack().Count(), 0u);
    EXPECT_FALSE(Stack().IsCovered());
}

TEST_F(ScreenStackTest, DialogsCloseWithTheirResult)
{
    StandardDialogPtr confirm(new StandardDialog("Quit the game?", DialogKind::Confirm));
    confirm->SetResultCodes(7, 3);
    Screen* closed = nullptr;
    int closings = 0;
    confirm->SetOnClosed([&closed, &closings](Screen& s) {
        closed = &s;
        ++closings;
    });
    Stack().Push(ScreenPtr(confirm.Get()));
    Step(10);
    ASSERT_TRUE(confirm->IsShown());
    EXPECT_EQ(confirm->FindComponent("messagetext")->GetCaption(), "Quit the game?");
    EXPECT_EQ(confirm->GetResult(), StandardDialog::kNoResult);

    confirm->DeliverInput(Pressed(KeyId::Return, Now()));
    EXPECT_EQ(confirm->GetResult(), 7);
    EXPECT_EQ(confirm->GetEnteredText(), "");
    EXPECT_EQ(sounds, std::vector<std::string>{kDefaultClickSound});
    // Escape while the dialog is still closing: the first answer stands.
    Step(GUIComponent::kCloseMs / 2);
    confirm->DeliverInput(Pressed(KeyId::Escape, Now()));
    EXPECT_EQ(confirm->GetResult(), 7);
    Step(GUIComponent::kCloseMs + 10); // the closing picture ends
    EXPECT_EQ(closed, confirm.Get());
    EXPECT_EQ(closings, 1);
    EXPECT_EQ(confirm->GetResult(), 7);
    EXPECT_EQ(Stack().Count(), 0u);

    // An input dialog hands over what was typed, Escape gives nothing back.
    StandardDialogPtr input(new StandardDialog("Name?", DialogKind::Input));
    Stack().Push(ScreenPtr(input.Get()));
    Step(10);
    GuiInput typed = At(Now(), 0, 0, false);
    typed.typed = "Anna";
    input->DeliverInput(typed);
    input->DeliverInput(Pressed(KeyId::Escape, Now() + 10));
    EXPECT_EQ(input->GetResult(), StandardDialog::kNo);
    EXPECT_EQ(input->GetEnteredText(), "");

    StandardDialogPtr again(new StandardDialog("Name?", DialogKind::Input));
    Stack().Push(ScreenPtr(again.Get()));
    Step(10);
    again->DeliverInput(typed);
    const Vec3 yes = again->FindComponent("yesbutton")->GetWorldPosition();
    again->DeliverInput(At(Now() + 10, yes.x + 400, yes.y + 300, true));
    again->DeliverInput(At(Now() + 20, yes.x + 400, yes.y + 300, false));
    EXPECT_EQ(again->GetResult(), StandardDialog::kYes);
    EXPECT_EQ(again->GetEnteredText(), "Anna");
}

TEST_F(ScreenStackTest, DialogButtonsAndFailedDialogs)
{
    StandardDialogPtr confirm(new StandardDialog("", DialogKind::Confirm));
    GUIComponent* yes = confirm->FindComponent("yesbutton");
    GUIComponent* no = confirm->FindComponent("nobutton");
    EXPECT_LT(yes->GetX(), 0);
    EXPECT_GT(no->GetX(), 0);
    // Without a no caption the yes button stands alone in the middle.
    confirm->SetNoCaption("");
    EXPECT_FALSE(no->IsVisible());
    EXPECT_EQ(yes->GetX(), 0);
    // A long caption widens both buttons alike.
    confirm->SetNoCaption("No");
    confirm->SetYesCaption("Yes, throw the whole level away");
    EXPECT_GT(yes->GetWidth(), 160);
    EXPECT_EQ(yes->GetWidth(), no->GetWidth());
    EXPECT_LT(yes->GetX() + yes->GetWidth() / 2, no->GetX() - no->GetWidth() / 2);

    StandardDialogPtr none(new StandardDialog("text", DialogKind::None));
    EXPECT_FALSE(none->IsRootLoaded());
    Stack().Push(ScreenPtr(none.Get()));
    Step(10);
    EXPECT_EQ(Stack().Count(), 1u); // only code removes it
    EXPECT_TRUE(Stack().Remove(none.Get()));
}

TEST_F(ScreenStackTest, TheUiDescription)
{
    ScreenPtr screen = LoadScreen("<name>menu</name><rootcomponent><name>root</name><type>panel</type>"
                                  "<width>200</width><height>100</height><caption>Two\tparts\nhere</caption>"
                                  "<component><name>box</name><type>editbox</type><xcenter>10</xcenter>"
                                  "<ycenter>-20</ycenter><width>80</width><height>20</height><visible>0</visible></component>"
                                  "<component><name>x</name><type>knob</type></component></rootcomponent>");
    screen->FindComponent("box")->SetText("\xE9t\xE9");
    Stack().Push(screen);
    screen->GetRoot()->SetEnabled(false);
    EXPECT_EQ(DescribeScreenStack(), "screen\tmenu\t" + dir.Path() + "screen.xml\n"
                                     "component\t0\troot\tpanel\t1\t0\t400\t300\t200\t100\tTwo\\tparts\\nhere\n"
                                     "component\t1\tbox\teditbox\t0\t0\t410\t280\t80\t20\t\xC3\xA9t\xC3\xA9\n"
                                     "component\t1\tx\t?\t1\t0\t400\t300\t0\t0\t\n");
}

TEST_F(ScreenStackTest, TheMouseCursor)
{
    MouseCursor cursor; // as the GUI's start builds it
    MouseCursor::Installation installed(cursor);
    EXPECT_EQ(cursor.GetRoot()->GetLayer(), kCursorLayer);
    cursor.SetCursor(kCursorHand, "");
    EXPECT_EQ(cursor.GetTexturePath(), "/texture/gui/cursor/hand.png");
    cursor.SetCursor(kCursorCustom, "");
    EXPECT_EQ(cursor.GetTexturePath(), "/texture/gui/cursor/hand.png"); // an empty path changes nothing
    cursor.SetCursor(9, "");
    EXPECT_EQ(cursor.GetCursor(), 9);
    EXPECT_EQ(cursor.GetTexturePath(), "/texture/gui/cursor/hand.png");
    cursor.SetCursor(kCursorArrow, "");
    EXPECT_EQ(cursor.GetTexturePath(), "/texture/gui/cursor/arrow.png");

    // The pointer follows the mouse; the asked-for button blinks once a second.
    cursor.ShowButton(MouseCursor::EButtonPicture::Right);
    const int64_t t = Now() + 100000; // past any blink of the cursor's own task
    cursor.Update(500, 100, t);
    EXPECT_EQ(cursor.GetRoot()->GetPosition(), (Vec3{100, -200, 0}));
    const std::string first = cursor.GetButtonPicture();
    cursor.Update(500, 100, t + 400);
    EXPECT_EQ(cursor.GetButtonPicture(), first);
    cursor.Update(500, 100, t + 600);
    EXPECT_NE(cursor.GetButtonPicture(), first);
    cursor.Update(500, 100, t + 1200);
    EXPECT_EQ(cursor.GetButtonPicture(), first);
    EXPECT_TRUE(first == "/texture/gui/mouse/rightbtn.png" || first == "/texture/gui/mouse/none.png");
    cursor.ShowButton(MouseCursor::EButtonPicture::None);
}

} // namespace
} // namespace tsv::test
