#include "guitest.h"

#include "engine/core/util/file/textconvert.h"
#include "engine/gui/textedit.h"
#include "engine/platform/keynames.h"

namespace tsv::test {
namespace {

class ComponentInputTest : public GuiTest {
protected:
    // A 200 x 100 panel in the middle of the view with a button at its centre
    // (view 350..450 x 285..315), a label and an edit box of 10 characters.
    void SetUp() override
    {
        GuiTest::SetUp();
        screen = LoadScreen(R"(<rootcomponent><name>root</name><type>panel</type><width>200</width><height>100</height>
            <component><name>button</name><width>100</width><height>30</height><hotkey>KEY_ESCAPE</hotkey></component>
            <component><name>label</name><type>label</type><ycenter>200</ycenter><width>100</width><height>30</height></component>
            <component><name>edit</name><type>editbox</type><ycenter>-200</ycenter><width>300</width><height>30</height>
              <maxchar>10</maxchar><hasfocus>1</hasfocus></component>
            <component><name>edit2</name><type>editbox</type><ycenter>-150</ycenter><width>300</width><height>30</height></component>
            </rootcomponent>)");
        button = screen->FindComponent("button");
        edit = screen->FindComponent("edit");
        for (GuiEvent event : {GuiEvent::Click, GuiEvent::MouseIn, GuiEvent::MouseOut, GuiEvent::MouseMove,
                               GuiEvent::MouseLeftPressed, GuiEvent::MouseLeftReleased, GuiEvent::Change,
                               GuiEvent::Create, GuiEvent::Destroy, GuiEvent::OnEnable, GuiEvent::OnDisable}) {
            button->SetHandler(event, [this, event](GUIComponent&) { events.push_back(GuiEventName(event)); });
        }
    }
    void Frame(const GuiInput& input) { screen->DeliverInput(input); }
    enum class Modifier { None, Ctrl, Shift };
    // Holds `key` (typing `character`) from `start` to `end`, a frame every 10 ms, then lets go.
    void Hold(KeyId key, const std::string& character, int64_t start, int64_t end, Modifier with = Modifier::None)
    {
        for (int64_t t = start; t <= end; t += 10) {
            GuiInput input = At(t, 0, 0, false);
            input.pressedKey = t == start ? KeyCode(key) : 0;
            input.heldKey = KeyCode(key);
            input.keyChar = character;
            input.ctrl = with == Modifier::Ctrl;
            input.shift = with == Modifier::Shift;
            Frame(input);
        }
        Frame(At(end + 10, 0, 0, false));
    }

    ScreenPtr screen;
    GUIComponent* button = nullptr;
    GUIComponent* edit = nullptr;
    std::vector<std::string> events;
};

TEST_F(ComponentInputTest, PressAndReleaseFireTheirEventsInOrder)
{
    Frame(At(10, 10, 10, false));
    Frame(At(20, 400, 300, false));
    Frame(At(30, 400, 300, true));
    Frame(At(40, 400, 300, true));
    Frame(At(50, 400, 300, false));
    Frame(At(60, 10, 10, false));
    // A move comes with every frame the mouse spends over the button.
    EXPECT_EQ(events, (std::vector<std::string>{"mousein", "mousemove", "mouseleftpressed", "mousemove", "mousemove",
                                                "mouseleftreleased", "click", "mousemove", "mouseout"}));
    // A button without sounds of its own plays the default ones.
    EXPECT_EQ(sounds, (std::vector<std::string>{kDefaultMouseInSound, kDefaultClickSound, kDefaultMouseOutSound}));
    EXPECT_FALSE(button->IsHovered());
}

TEST_F(ComponentInputTest, LabelsAreSilentAndOwnSoundsReplaceTheDefault)
{
    Frame(At(10, 400, 500, false)); // over the label
    Frame(At(20, 400, 500, true));
    Frame(At(30, 400, 500, false));
    EXPECT_TRUE(sounds.empty());

    ScreenPtr own = LoadScreen("<rootcomponent><name>b</name><width>50</width><height>50</height>"
                               "<event><name>click</name><sound>/sound/bonus.wav</sound></event></rootcomponent>");
    own->DeliverInput(At(40, 400, 300, true));
    own->DeliverInput(At(50, 400, 300, false));
    EXPECT_EQ(sounds, (std::vector<std::string>{kDefaultMouseInSound, "/sound/bonus.wav"}));
}

TEST_F(ComponentInputTest, HotkeysAndTheInheritedFlags)
{
    Hold(KeyId::Escape, "", 10, 10); // the mouse is elsewhere
    EXPECT_EQ(events, std::vector<std::string>{"click"});

    // A disabled or hidden parent silences its children's handlers and sounds.
    events.clear();
    sounds.clear();
    screen->GetRoot()->SetEnabled(false);
    EXPECT_FALSE(button->IsEnabled());
    EXPECT_TRUE(button->GetOwnEnabled());
    Hold(KeyId::Escape, "", 30, 30);
    screen->GetRoot()->SetEnabled(true);
    screen->GetRoot()->SetVisible(false);
    Hold(KeyId::Escape, "", 50, 50);
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(sounds.empty());
}

TEST_F(ComponentInputTest, DestroyReachesTheChildrenFirst)
{
    std::vector<std::string> order;
    screen->GetRoot()->SetHandler(GuiEvent::Destroy, [&order](GUIComponent& c) { order.push_back(c.GetName()); });
    button->SetHandler(GuiEvent::Destroy, [&order](GUIComponent& c) { order.push_back(c.GetName()); });
    screen->Close();
    EXPECT_EQ(order, (std::vector<std::string>{"button", "root"}));
    // The root's closing picture ends, after which its node is no longer alive.
    EXPECT_TRUE(screen->GetRoot()->GetNode()->IsAlive());
    Advance(GUIComponent::kCloseMs + 1);
    EXPECT_FALSE(screen->GetRoot()->GetNode()->IsAlive());
}

TEST_F(ComponentInputTest, HeldLetterRepeatsAfterHalfASecondThenEveryTenthOfASecond)
{
    Hold(KeyId::A, "a", 1000, 1490);
    EXPECT_EQ(edit->GetText(), "a");
    Hold(KeyId::A, "a", 2000, 2500);
    EXPECT_EQ(edit->GetText(), "aaa"); // at 2000 and at 2500
    edit->SetText("");
    Hold(KeyId::A, "a", 3000, 3800);
    EXPECT_EQ(edit->GetText(), "aaaaa"); // 3000, 3500, then every 100 ms
    Hold(KeyId::A, "a", 4000, 4800);
    EXPECT_EQ(edit->GetText(), "aaaaaaaaaa"); // stopped by the limit of 10
    Hold(KeyId::A, "a", 5000, 5000);
    EXPECT_EQ(edit->GetText().size(), 10u); // a full box takes no more

    // Backspace waits 300 ms before it repeats.
    Hold(KeyId::Back, "", 6000, 6350);
    EXPECT_EQ(edit->GetText().size(), 8u);
    // With the caret at the start it does nothing.
    Hold(KeyId::Home, "", 6000, 6000);
    Hold(KeyId::Back, "", 7000, 7000);
    EXPECT_EQ(edit->GetText().size(), 8u);
    EXPECT_EQ(edit->GetEdit().caret, 0u);
}

TEST_F(ComponentInputTest, SelectionClipboardAndTypedText)
{
    GuiInput typed = At(100, 0, 0, false);
    // A Cyrillic letter has no place in code page 1252 and is left out.
    typed.typed = ConvertUtf8CharsToCodePage("Hello \xD0\xB6!", LanguageManager::Instance().GetCodePage());
    Frame(typed);
    EXPECT_EQ(edit->GetText(), "Hello !");

    // Shift+Home selects to the start; Ctrl+X cuts it to the clipboard.
    Hold(KeyId::LShift, "", 200, 200, Modifier::Shift);
    Hold(KeyId::Home, "", 220, 220, Modifier::Shift);
    EXPECT_EQ(edit->GetEdit().Selected(), "Hello !");
    Hold(KeyId::X, "", 300, 300, Modifier::Ctrl);
    EXPECT_EQ(edit->GetText(), "");
    EXPECT_EQ(Loop().GetPlatform()->ClipboardGetText(), "Hello !");

    // Pasting is cut to the room left; into a full box it inserts nothing.
    Loop().GetPlatform()->ClipboardSetText("\xC3\xA9t\xC3\xA9 and more text");
    Hold(KeyId::V, "", 400, 400, Modifier::Ctrl);
    EXPECT_EQ(edit->GetText(), "\xE9t\xE9 and mo"); // UTF-8 turned into code page 1252, 10 characters
    Hold(KeyId::V, "", 500, 500, Modifier::Ctrl);
    EXPECT_EQ(edit->GetText(), "\xE9t\xE9 and mo");
}

TEST_F(ComponentInputTest, TabMovesTheFocusAlongTheEditBoxes)
{
    GUIComponent* second = screen->FindComponent("edit2");
    EXPECT_TRUE(edit->HasFocus());
    Hold(KeyId::Tab, "", 10, 10);
    EXPECT_FALSE(edit->HasFocus());
    EXPECT_TRUE(second->HasFocus());
    Hold(KeyId::Tab, "", 30, 30);
    EXPECT_TRUE(edit->HasFocus()); // past the last one it wraps to the first
    // Clicking an edit box gives it the focus.
    Frame(At(50, 400, 150, true));
    Frame(At(60, 400, 150, false));
    EXPECT_TRUE(second->HasFocus());
    EXPECT_FALSE(edit->HasFocus());
}

TEST(TextEditTest, DoubleByteCharactersMoveAndEraseAsOne)
{
    TextEdit edit;
    edit.codePage = 932;
    edit.maxChars = 3;
    EXPECT_TRUE(edit.Insert("\x82\xA0")); // one character of two bytes
    EXPECT_TRUE(edit.Insert("a"));
    EXPECT_TRUE(edit.Insert("\x88\x9F"));
    EXPECT_FALSE(edit.Insert("b")); // three characters fill it, whatever the bytes
    edit.Left(false);
    EXPECT_EQ(edit.caret, 3u);
    edit.Left(true);
    EXPECT_EQ(edit.Selected(), "a");
    edit.Home(false);
    EXPECT_TRUE(edit.Delete());
    EXPECT_EQ(edit.text, "a\x88\x9F");

    TextEdit digits;
    digits.allowed = "0123456789";
    EXPECT_FALSE(digits.Insert("x"));
    EXPECT_TRUE(digits.Insert("7"));
}

} // namespace
} // namespace tsv::test
