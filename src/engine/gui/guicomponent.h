#pragma once
// One element of a screen: a panel, button, label or edit box read from a
// screen file. It owns a scene node that draws it, turns the mouse and the
// keyboard into events, plays each event's sound and node, and runs the
// handlers that code binds to it.

#include "engine/core/intrusiveptr.h"
#include "engine/core/util/xml/xmlelement.h"
#include "engine/gui/font.h"
#include "engine/gui/textedit.h"
#include "engine/scene/scenenode.h"
#include "engine/sound/audieresound.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tsv {

class Screen;
class Font;

enum class ComponentType : int32_t {
    Unknown = -1,
    Panel = 0,
    Button = 1,
    Label = 2,
    EditBox = 3,
};

enum class ComponentAlign : int32_t {
    Unknown = -1,
    Center = 0,
    Left = 1,
    Right = 2,
    Top = 3,
    Bottom = 4,
};

enum class GuiEvent : int32_t {
    None = 0,
    Click,
    MouseIn,
    MouseOut,
    MouseMove,
    MouseLeftPressed,
    MouseLeftReleased,
    Change,
    Create,
    Destroy,
    OnEnable,
    OnDisable,
};
inline constexpr size_t kGuiEventCount = 12;
// An event's slot in tables kept per event.
constexpr size_t GuiEventIndex(GuiEvent event) { return static_cast<size_t>(event); }

// Exact names; Unknown otherwise.
ComponentType ComponentTypeFromName(const std::string& name);
ComponentAlign ComponentAlignFromName(const std::string& name);
// "panel", "button", "label", "editbox", or "?".
const char* ComponentTypeName(ComponentType type);
// The name screen files give the event ("click", "mousein", ...); "" for none.
const char* GuiEventName(GuiEvent event);
GuiEvent GuiEventFromName(const std::string& name);

// How the GUI plays a sound by name; tests replace it to listen.
using GuiSoundPlayer = std::function<void(const std::string& path)>;
void SetGuiSoundPlayer(GuiSoundPlayer player);
void PlayGuiSound(const std::string& path);

inline constexpr const char* kDefaultClickSound = "/sound/mouseclick.wav";
inline constexpr const char* kDefaultMouseInSound = "/sound/mouseover.wav";
inline constexpr const char* kDefaultMouseOutSound = "/sound/mouseout.wav";

// The feedback of one event of one component; any part may be absent.
class EventEntry : public RefCounted {
public:
    std::string soundPath;           // a sound file, or a sound description (".xml")
    IntrusivePtr<AudiereSound> sound; // loaded with the screen
    std::string nodePath;            // a node file shown as the event's picture
};

using EventEntryPtr = IntrusivePtr<EventEntry>;

// What one frame of input holds, in the form components read it.
struct GuiInput {
    int64_t now = 0;           // ms
    float x = 0, y = 0;        // mouse, relative to the centre of the 800 x 600 view
    bool leftDown = false;
    int32_t pressedKey = 0;    // key code pressed this frame, 0 for none
    int32_t heldKey = 0;       // the key held this frame (the newest press), 0 for none
    std::string keyChar;       // the character the held key types (code page), "" for none
    std::string typed;         // characters typed without a key of their own (code page)
    bool ctrl = false, shift = false;
    bool navigate = false;     // the keys may move the screen's focus (its newest screen)
};

class GUIComponent;
using GUIComponentPtr = IntrusivePtr<GUIComponent>;

class GUIComponent : public RefCounted {
public:
    using Handler = std::function<void(GUIComponent& component)>;

    // Milliseconds of editing: the caret's blink, and the auto-repeat of keys.
    static constexpr int64_t kCaretPeriodMs = 300;
    static constexpr int64_t kCaretShownMs = 200;
    static constexpr int64_t kCharFirstDelayMs = 500;
    static constexpr int64_t kEraseFirstDelayMs = 300;
    static constexpr int64_t kRepeatMs = 100;
    // Space between an edit box's edge and its text, in pixels.
    static constexpr float kEditPadding = 8.0f;
    // How long the closing picture of a screen's root component lasts.
    static constexpr int64_t kCloseMs = 250;

    // How the component is drawn as the pointer and the keyboard treat it.
    enum class Look : int32_t;

    GUIComponent(Screen* screen, GUIComponent* parent);
    ~GUIComponent() override;
    GUIComponent(const GUIComponent&) = delete;
    GUIComponent& operator=(const GUIComponent&) = delete;

    // Reads a "rootcomponent" or "component" element and builds the visuals.
    bool Load(const XMLElement& element);

    // Plays the event's feedback and runs its handler (see the rules in the .cpp).
    void FireEvent(GuiEvent event, float x, float y);
    void SetHandler(GuiEvent event, Handler handler);
    // The first component of that name in this subtree, depth first; null when none.
    GUIComponent* Find(const std::string& name);
    // Runs `fn` on this component and every descendant, depth first, with the depth.
    void Walk(const std::function<void(GUIComponent&, int depth)>& fn, int depth = 0);

    // One frame of input, children first.
    void ProcessInput(const GuiInput& input);

    // Position queries read the scene node.
    Vec3 GetPosition() const;
    Vec3 GetWorldPosition() const;

    // With the ancestors' flags.
    bool IsVisible() const;
    bool IsEnabled() const;
    void SetVisible(bool visible);
    void SetEnabled(bool enabled);
    bool IsHovered() const { return m_hovered; }
    // The keyboard's focus: the button looks hovered and wears a frame.
    void SetKeyFocus(bool focus);
    bool HasKeyFocus() const { return m_keyFocus; }
    bool IsInputBlocked() const { return m_inputBlocked; }
    bool IsPressed() const { return m_hovered && m_buttonHeld; }
    void SetInputBlocked(bool blocked) { m_inputBlocked = blocked; }

    // The caption is shown as given (already resolved); it is laid out again.
    void SetCaption(const std::string& caption);
    // The caption's font instead of the language's (null: the language's
    // again); the caption's bytes are then in that font's code page.
    void SetCaptionFont(const IntrusivePtr<Font>& font);
    // The code page of the caption's bytes: its own font's, 0 for the language's.
    uint32_t GetCaptionCodePage() const;
    // The longest caption drawn; a longer one is cut (with a warning).
    static constexpr size_t kMaxCaptionBytes = 16 * 1024;
    const std::string& GetCaption() const { return m_caption; }
    void SetCenter(int32_t x, int32_t y);
    // Replaces the picture with `texture` stretched over the component; "" removes it.
    void SetPicture(const std::string& texture);
    const SceneNodePtr& GetPicture() const { return m_picture; }
    void SetSize(int32_t width, int32_t height);

    // Edit boxes.
    const std::string& GetText() const { return m_edit.text; }
    void SetText(const std::string& text);
    void SetAllowedChars(const std::string& allowed) { m_edit.allowed = allowed; }
    void SetFocus(bool focus);
    bool HasFocus() const { return m_hasFocus; }
    const TextEdit& GetEdit() const { return m_edit; }

    const std::string& GetName() const { return m_name; }
    ComponentType GetType() const { return m_type; }
    int32_t GetTag() const { return m_tag; }
    int32_t GetLayer() const { return m_layer; }
    int32_t GetX() const { return m_x; }
    int32_t GetY() const { return m_y; }
    int32_t GetWidth() const { return m_width; }
    int32_t GetHeight() const { return m_height; }
    int32_t GetMaxChars() const { return m_edit.maxChars; }
    const std::string& GetHint() const { return m_hint; }
    bool GetForceHint() const { return m_forceHint; }
    ComponentAlign GetHAlign() const { return m_hAlign; }
    ComponentAlign GetVAlign() const { return m_vAlign; }
    uint32_t GetCaptionColor() const { return m_captionColor; }
    uint32_t GetShadowColor() const { return m_shadowColor; }
    int32_t GetShadowType() const { return m_shadowType; }
    float GetCaptionScale() const { return m_captionScale; }
    int32_t GetFontId() const { return m_font; }
    int32_t GetHotkey() const { return m_hotkey; }
    int32_t GetCursor() const { return m_cursor; }
    bool GetOwnVisible() const { return m_visible; }
    bool GetOwnEnabled() const { return m_enabled; }
    const EventEntry* GetEvent(const std::string& name) const;

    GUIComponent* GetParent() const { return m_parent; }
    Screen* GetScreen() const { return m_screen; }
    const std::vector<GUIComponentPtr>& GetChildren() const { return m_children; }
    const SceneNodePtr& GetNode() const { return m_node; }
    // The nodes of the caption's text as laid out, without its shadow; null without a caption.
    const SceneNodePtr& GetCaptionFace() const { return m_captionFace; }

private:
    bool LoadEvent(const XMLElement& element);
    void CreateVisuals();
    void LayoutCaption();
    void LayoutEditText();
    void UpdateLook();
    void ShowFocusFrame(bool shown);
    void ShowEventNode(const EventEntry& entry, bool persistent);
    void ReplacePicture(const SceneNodePtr& node);
    int32_t EffectiveLayer() const;
    // Whether CaptionFont logs a font reference it cannot resolve.
    enum class MissingFont { Quiet, Report };
    const Font* CaptionFont(MissingFont missing) const;
    const std::string& LogPrefix() const;
    bool Contains(float x, float y) const;
    void ProcessMouse(const GuiInput& input);
    void ProcessEditing(const GuiInput& input);
    void PlaceCaret(float x);
    void EditChanged();

    Screen* m_screen = nullptr;
    GUIComponent* m_parent = nullptr;
    std::vector<GUIComponentPtr> m_children;
    std::map<std::string, EventEntryPtr> m_events;
    Handler m_handlers[kGuiEventCount];

    std::string m_name;
    ComponentType m_type = ComponentType::Button;
    int32_t m_layer = -1;
    int32_t m_x = 0, m_y = 0;
    int32_t m_width = 0, m_height = 0;
    bool m_hasFocus = false;
    std::string m_hint;
    bool m_forceHint = false;
    std::string m_caption;
    ComponentAlign m_hAlign = ComponentAlign::Center, m_vAlign = ComponentAlign::Center;
    uint32_t m_captionColor = 0xFF000000;
    uint32_t m_shadowColor = 0xFF000000;
    int32_t m_shadowType = -1;
    float m_captionScale = 1.0f;
    int32_t m_tag = 0;
    int32_t m_font = 1;
    IntrusivePtr<Font> m_captionFont; // overrides m_font when set
    bool m_enabled = true;
    bool m_visible = true;
    int32_t m_hotkey = 0;
    int32_t m_cursor = -1; // -1 leaves the pointer as it is

    // Input state.
    bool m_hovered = false;
    bool m_buttonHeld = false;
    bool m_selecting = false;
    bool m_inputBlocked = false;
    bool m_keyFocus = false;
    TextEdit m_edit;
    KeyRepeat m_repeat;
    int64_t m_lastEdit = 0;
    int64_t m_caretShown = 0;
    // The look last applied, to restyle only on changes; none after a change
    // that needs a restyle whatever the look.
    std::optional<Look> m_lookState;

    // Visuals: the component's node holds the picture (the "create" node), the
    // caption with its shadow, an edit box's text, selection and caret, and the
    // children's nodes.
    SceneNodePtr m_node;
    SceneNodePtr m_picture;
    // The picture's parts with a mesh and their own colours, which the looks multiply.
    std::vector<std::pair<SceneNodePtr, uint32_t>> m_pictureColours;
    SceneNodePtr m_highlight;
    SceneNodePtr m_focusFrame; // made the first time the component gets the keyboard's focus
    int32_t m_pictureWidth = 0, m_pictureHeight = 0; // the component's size when the picture came
    SceneNodePtr m_captionNode;
    SceneNodePtr m_captionFace; // the text itself, below m_captionNode beside its shadows
    SceneNodePtr m_textNode;
    SceneNodePtr m_selectionNode;
    SceneNodePtr m_caretNode;
    float m_textScroll = 0;
};

} // namespace tsv
