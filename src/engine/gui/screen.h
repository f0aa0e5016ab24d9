#pragma once
// A screen: one menu, dialog, HUD or transition, run as a task on the screen
// stack. Most load their components from a screen file under "/gui/".

#include "engine/gui/guicomponent.h"
#include "engine/runtime/task.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tsv {

class Screen : public Task {
public:
    using ClosedCallback = std::function<void(Screen& screen)>;

    // How the keys (and a gamepad, which speaks them) reach this screen's buttons:
    // Arrows: the arrow keys move a focus between them, Return or Space press
    // it, Escape presses the screen's way back. Tab: the screen keeps the
    // arrows, Return, Space and Escape for itself until Tab brings the focus
    // to its buttons (a board under a few buttons). None: the screen reads
    // every key itself.
    enum class KeyNavigation { Arrows, Tab, None };
    // The names Escape looks for, in this order, when no component has it as
    // its hotkey: the ways back first, a lone acknowledgement last.
    static constexpr const char* kBackButtonNames[] = {"cancelbutton", "closebutton", "nobutton", "backbutton",
                                                      "exitbutton",   "okbutton",    "yesbutton"};
    // The buttons Return presses from an edit box.
    static constexpr const char* kDefaultButtonNames[] = {"yesbutton", "okbutton"};

    // A hint shows once the pointer has rested this long on its component.
    static constexpr int64_t kHintDelayMs = 600;
    // The hint pop-up's layer: above the screens, below the fade overlay.
    static constexpr int32_t kHintLayer = 98;
    // Input is collected at most this often.
    static constexpr int64_t kInputIntervalMs = 2;

    Screen();
    ~Screen() override;

    // Reads the file and builds the component tree; true when a root component loaded.
    bool LoadScreenFile(const std::string& path);
    // Depth first by exact name; null, with a Warning, when there is none.
    GUIComponent* FindComponent(const std::string& name);
    // False, with a Warning, when there is no such component.
    bool SetHandler(const std::string& name, GuiEvent event, GUIComponent::Handler handler);

    // Task: the root's node enters the scene hidden, and leaves with the screen.
    bool OnAdd() override;
    void OnRemove() override;
    // The typical frame: show on the first one, take input, leave the stack once
    // the root's closing picture has ended, count the active time.
    void Run() override;
    // Hands this frame's mouse and keyboard to the components.
    virtual void ProcessInput();
    // Called on the first frame, when the screen becomes visible.
    virtual void OnShown() {}
    // What Escape presses when no component has it as its hotkey; by default
    // the first visible, enabled button named in kBackButtonNames.
    virtual GUIComponent* BackButton();
    // Where the focus starts: the first button in reading order.
    virtual GUIComponent* DefaultFocus();

    // Plays the root's "destroy" (its closing picture); the screen leaves the
    // stack once that has ended.
    void Close();
    bool IsClosing() const { return m_closing; }

    // One frame of input as components see it, passed to the tree: Tab moves
    // the focus, then the root and its children handle it, then the hint follows.
    void DeliverInput(const GuiInput& input);
    // The next collected frame uses this mouse state instead of the devices'.
    void SimulateInput(float x, float y, bool leftDown);

    // Focus among the visible, enabled edit boxes, in depth-first order.
    void FocusNext();
    void SetFocus(GUIComponent* component);
    GUIComponent* GetFocus() const;

    void SetKeyNavigation(KeyNavigation mode) { m_navigation = mode; }
    KeyNavigation GetKeyNavigation() const { return m_navigation; }
    // The button the keys have reached; null when there is none.
    GUIComponent* GetKeyFocus() const { return m_keyFocus.Get(); }
    // Whether the focus shows (the keys are in use, and this screen takes them).
    bool IsKeyFocusShown() const { return m_keyFocus && m_keyFocus->HasKeyFocus(); }
    // Moves the keyboard's focus to `component` (a visible, enabled button) and shows it.
    void SetKeyFocus(GUIComponent* component);
    // Whether the focus took this key in the last input the screen handled;
    // a screen reading keys of its own then leaves it alone.
    bool KeyTakenByFocus(int32_t keyCode) const;
    // The buttons the focus moves between: visible, enabled, on the view.
    std::vector<GUIComponent*> FocusableButtons() const;
    // Whether the player is using the keys (or a pad) rather than the mouse,
    // for every screen: the focus shows only then. Moving the mouse ends it.
    static bool AreKeysInUse();
    static void SetKeysInUse(bool inUse);

    const std::string& GetPath() const { return m_path; }
    const std::string& GetName() const { return m_name; }
    int32_t GetLayer() const { return m_layer; }
    bool IsEastAsian() const { return m_eastAsian; }
    bool IsRootLoaded() const { return m_rootLoaded; }
    bool IsShown() const { return m_shown; }
    int64_t GetActiveTime() const { return m_activeTime; }
    GUIComponent* GetRoot() const { return m_root.Get(); }
    // The node under which the screen draws everything it shows: its root
    // component's, or what a screen without a screen file puts up itself.
    virtual SceneNode* GetDrawnNode() const { return m_root ? m_root->GetNode().Get() : nullptr; }
    void SetOnClosed(ClosedCallback callback) { m_onClosed = std::move(callback); }
    // Whether the newest screens below this one may still take input (a HUD
    // under its pause panel may not; a backdrop never does).
    // Whether the screen takes the frame's input: the newest that does gets
    // it, and the screens below see none (a screen that covers the view
    // with its own input, as the pause does, says so).
    virtual bool TakesInput() const { return m_rootLoaded && m_shown && !m_closing; }

protected:
    // Before LoadScreenFile: the screen (a dialog) opens over whatever is on
    // the stack, taking the layer above the top screen's when that lies in
    // its own layer or above, so that it never mixes with a dialog below.
    void OpenOverStack() { m_opensOverStack = true; }
    // For screens that read no file.
    void SetName(const std::string& name) { m_name = name; }

private:
    // The focus's part of one frame of input; returns the input the components
    // then see (without a key the focus took).
    GuiInput Navigate(const GuiInput& input);
    bool HasHotkey(int32_t keyCode) const;
    GUIComponent* FindUsable(const char* const* names, size_t count) const;
    void PressFocus(GUIComponent& button);
    void HideKeyFocus();
    void UpdateHint(const GuiInput& input);
    void HideHint();
    // The frame's input as the GUI reads it: one state for each press,
    // release, key and text in the order they came, then the state now.
    std::vector<GuiInput> CollectInput(int64_t now);

    std::string m_path;
    bool m_eastAsian = false;
    bool m_rootLoaded = false;
    std::string m_name;
    int32_t m_layer = 0;
    bool m_opensOverStack = false;
    GUIComponentPtr m_root;
    bool m_shown = false;
    bool m_closing = false;
    int64_t m_activeTime = 0;
    int64_t m_lastFrame = 0;
    ClosedCallback m_onClosed;

    int64_t m_lastInput = -1000;
    bool m_simulated = false;
    float m_simX = 0, m_simY = 0;
    bool m_simDown = false;
    int32_t m_heldKey = 0;
    bool m_leftDown = false; // the left button as the last input delivered had it
    std::string m_heldChar;

    KeyNavigation m_navigation = KeyNavigation::Arrows;
    GUIComponentPtr m_keyFocus;
    bool m_tabFocus = false; // Tab navigation: the focus is on the buttons
    std::vector<int32_t> m_takenKeys;

    GUIComponent* m_hintTarget = nullptr;
    int64_t m_hintRestStart = 0;
    float m_hintX = 0, m_hintY = 0;
    SceneNodePtr m_hintNode;
};

using ScreenPtr = IntrusivePtr<Screen>;

} // namespace tsv
