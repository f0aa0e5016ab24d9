// The keyboard's focus on a screen: where the arrows take it, what Return,
// Space and Escape press, how it shares the keys with edit boxes and hotkeys,
// and a screen that keeps the arrows for itself until Tab.

#include "guitest.h"

#include "engine/gui/focusnavigation.h"
#include "engine/platform/keynames.h"

#include <map>

namespace tsv::test {
namespace {

std::string Button(const std::string& name, int x, int y, const std::string& extra = "")
{
    return "<component><name>" + name + "</name><xcenter>" + std::to_string(x) + "</xcenter><ycenter>" +
           std::to_string(y) + "</ycenter><width>80</width><height>30</height>" + extra + "</component>";
}

class KeyNavigationTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        Screen::SetKeysInUse(false);
    }
    // A form: two rows of a decrease and an increase button, a disabled and a
    // hidden button, then OK (Return is its hotkey) and Cancel at the bottom.
    void LoadForm(const std::string& more = "")
    {
        LoadPanel(Button("dec1", -100, -100) + Button("inc1", 100, -100) + Button("dec2", -100, -50) +
                  Button("inc2", 100, -50) + Button("off", 0, 0, "<enabled>0</enabled>") +
                  Button("gone", 0, 40, "<visible>0</visible>") +
                  Button("okbutton", -120, 120, "<hotkey>KEY_RETURN</hotkey>") + Button("cancelbutton", 120, 120) +
                  more);
    }
    // A 400 x 400 panel holding `components`, whose clicks are counted from now on.
    void LoadPanel(const std::string& components)
    {
        screen = LoadScreen("<rootcomponent><name>form</name><type>panel</type><width>400</width><height>400</height>" +
                            components + "</rootcomponent>");
        clicks.clear();
        screen->GetRoot()->Walk([this](GUIComponent& c, int) {
            const std::string name = c.GetName();
            c.SetHandler(GuiEvent::Click, [this, name](GUIComponent&) { ++clicks[name]; });
        });
    }
    // One frame with `key` pressed and the mouse resting where it was.
    GuiInput Key(KeyId key, const std::string& character = "") { return Key(KeyCode(key), character); }
    // Key code 0: a frame with no key.
    GuiInput Key(int32_t code, const std::string& character = "")
    {
        GuiInput input = At(now += 10, mouseX, mouseY, false);
        input.pressedKey = code;
        input.heldKey = code;
        input.keyChar = character;
        input.navigate = true;
        screen->DeliverInput(input);
        return input;
    }
    std::string Focus() const
    {
        return screen->IsKeyFocusShown() ? screen->GetKeyFocus()->GetName() : std::string("none");
    }

    ScreenPtr screen;
    std::map<std::string, int> clicks;
    int64_t now = 1000;
    float mouseX = 700, mouseY = 580; // off every button
};

TEST(FocusNavigationTest, ArrowsPickTheNearestButtonThatWayElseReadingOrder)
{
    // A column of three, and a row of two below it.
    const std::vector<FocusSpot> spots = {
        {0, -100, 200, 40}, {0, -50, 200, 40}, {0, 0, 200, 40}, {-100, 100, 80, 30}, {100, 102, 80, 30}};
    EXPECT_EQ(ReadingOrder(spots), (std::vector<size_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(MoveFocus(spots, -1, FocusMove::Down), 0) << "no focus yet: the first";
    EXPECT_EQ(MoveFocus(spots, 0, FocusMove::Down), 1);
    EXPECT_EQ(MoveFocus(spots, 1, FocusMove::Up), 0);
    EXPECT_EQ(MoveFocus(spots, 2, FocusMove::Down), 3) << "nearest below, the left one by a hair";
    EXPECT_EQ(MoveFocus(spots, 3, FocusMove::Right), 4) << "a row two pixels off is still the row";
    EXPECT_EQ(MoveFocus(spots, 4, FocusMove::Right), 0) << "past the end: on in reading order, wrapping";
    EXPECT_EQ(MoveFocus(spots, 0, FocusMove::Up), 4) << "and back from the start";
    EXPECT_EQ(MoveFocus(spots, 0, FocusMove::Right), 1) << "nothing to the right: the next one";
    EXPECT_EQ(MoveFocus({}, -1, FocusMove::Down), -1);
}

TEST_F(KeyNavigationTest, ArrowsMoveAFocusThatReturnPressesInsteadOfTheHotkey)
{
    LoadForm();
    EXPECT_EQ(Focus(), "none") << "no focus before a key is used";
    Key(KeyId::Down);
    EXPECT_EQ(Focus(), "dec1") << "the first key shows the focus where it starts";
    Key(KeyId::Right);
    EXPECT_EQ(Focus(), "inc1");
    Key(KeyId::Down);
    EXPECT_EQ(Focus(), "inc2");
    Key(KeyId::Down);
    EXPECT_EQ(Focus(), "cancelbutton") << "the disabled and the hidden buttons are passed over";
    EXPECT_TRUE(screen->GetKeyFocus()->HasKeyFocus());
    Key(KeyId::Left);
    EXPECT_EQ(Focus(), "okbutton");
    Key(KeyId::Up);
    Key(KeyId::Return);
    EXPECT_EQ(clicks["dec2"], 1);
    EXPECT_EQ(clicks["okbutton"], 0) << "Return went to the focus, not to OK's hotkey";
    EXPECT_TRUE(screen->KeyTakenByFocus(KeyCode(KeyId::Return)));
    Key(KeyId::Space);
    EXPECT_EQ(clicks["dec2"], 2);

    // The mouse moves: the focus hides, and Return is OK's hotkey again.
    GUIComponent* dec2 = screen->FindComponent("dec2");
    mouseX += 20;
    Key(0);
    EXPECT_EQ(Focus(), "none");
    EXPECT_FALSE(dec2->HasKeyFocus());
    Key(KeyId::Return);
    EXPECT_EQ(clicks["okbutton"], 1);
    EXPECT_EQ(clicks["dec2"], 2);
    EXPECT_EQ(Focus(), "dec2") << "a key was used: the focus shows again where it was";

    // A button that is disabled meanwhile loses the focus to the first one.
    dec2->SetEnabled(false);
    Key(0);
    EXPECT_FALSE(dec2->HasKeyFocus());
    EXPECT_EQ(Focus(), "dec1");
}

TEST_F(KeyNavigationTest, EscapePressesTheWayBackUnlessAHotkeyHasIt)
{
    LoadForm();
    Key(KeyId::Escape);
    EXPECT_EQ(clicks["cancelbutton"], 1) << "no hotkey: the cancel button";
    EXPECT_EQ(clicks["okbutton"], 0);

    LoadForm(Button("closebutton", 0, 160, "<hotkey>KEY_ESCAPE</hotkey>"));
    Key(KeyId::Escape);
    EXPECT_EQ(clicks["closebutton"], 1) << "the hotkey presses its own button";
    EXPECT_EQ(clicks["cancelbutton"], 0) << "and nothing else";

    // A lone acknowledgement answers Escape too; a screen without any way back ignores it.
    LoadPanel(Button("yesbutton", 0, 0) + Button("nobutton", 90, 0, "<visible>0</visible>"));
    Key(KeyId::Escape);
    EXPECT_EQ(clicks["yesbutton"], 1);
    LoadPanel(Button("play", 0, 0));
    Key(KeyId::Escape);
    EXPECT_EQ(clicks["play"], 0);
}

TEST_F(KeyNavigationTest, AnEditBoxKeepsLeftRightAndSpaceAndReturnPressesYes)
{
    LoadPanel(R"(<component><name>editbox</name><type>editbox</type><ycenter>-50</ycenter><width>300</width>
        <height>30</height><hasfocus>1</hasfocus></component>)" + Button("yesbutton", -60, 60) + Button("nobutton", 60, 60));
    GUIComponent* edit = screen->FindComponent("editbox");
    edit->SetText("ab");
    const size_t caret = edit->GetEdit().caret;
    Key(KeyId::Left);
    EXPECT_EQ(Focus(), "none");
    EXPECT_EQ(edit->GetEdit().caret, caret - 1) << "Left moved the caret";
    Key(KeyId::Space, " ");
    EXPECT_EQ(edit->GetText(), "a b") << "Space typed a space";
    Key(KeyId::Return);
    EXPECT_EQ(clicks["yesbutton"], 1) << "Return in the edit box answers yes";
    Key(0);
    EXPECT_EQ(Focus(), "yesbutton") << "a key was used: from the next frame on the focus shows";
    Key(KeyId::Right);
    EXPECT_EQ(Focus(), "yesbutton") << "Right is still the caret's";
    Key(KeyId::Down);
    EXPECT_EQ(Focus(), "nobutton") << "Down reaches the other button: nothing below, on in reading order";
    Key(KeyId::Return);
    EXPECT_EQ(clicks["nobutton"], 1);
    EXPECT_EQ(clicks["yesbutton"], 1);
}

TEST_F(KeyNavigationTest, ATabScreenKeepsItsKeysUntilTabBringsTheFocus)
{
    LoadForm();
    screen->SetKeyNavigation(Screen::KeyNavigation::Tab);
    Key(KeyId::Down);
    EXPECT_EQ(Focus(), "none");
    EXPECT_FALSE(screen->KeyTakenByFocus(KeyCode(KeyId::Down))) << "the arrows are the screen's";
    Key(KeyId::Escape);
    EXPECT_EQ(clicks["cancelbutton"], 0) << "and so is Escape";
    Key(KeyId::Tab);
    EXPECT_EQ(Focus(), "dec1");
    Key(KeyId::Down);
    EXPECT_EQ(Focus(), "dec2");
    EXPECT_TRUE(screen->KeyTakenByFocus(KeyCode(KeyId::Down)));
    Key(KeyId::Escape);
    EXPECT_EQ(Focus(), "none") << "Escape hands the keys back";
    EXPECT_EQ(clicks["cancelbutton"], 0);
    // Tab past the last button hands them back too; a press does as well.
    for (int i = 0; i < 6; ++i) {
        Key(KeyId::Tab);
    }
    EXPECT_EQ(Focus(), "cancelbutton");
    Key(KeyId::Tab);
    EXPECT_EQ(Focus(), "none");
    Key(KeyId::Tab);
    Key(KeyId::Return);
    EXPECT_EQ(Focus(), "none");
    EXPECT_EQ(clicks["cancelbutton"], 1);
}

} // namespace
} // namespace tsv::test
