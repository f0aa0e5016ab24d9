#include "engine/gui/guicomponent.h"

#include "engine/core/log.h"
#include "engine/core/textformat.h"
#include "engine/core/util/file/textconvert.h"
#include "engine/gui/languagemanager.h"
#include "engine/gui/mousecursor.h"
#include "engine/gui/nodewalk.h"
#include "engine/gui/screen.h"
#include "engine/platform/keynames.h"
#include "engine/runtime/application.h"
#include "engine/scene/nodelibrary.h"
#include "engine/scene/nodeloader.h"
#include "engine/scene/frameloop.h"
#include "engine/sound/soundmanager.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace tsv {

namespace {

// The words screen files and the `ui` listing use for each value.
template <typename E>
struct Named {
    E value;
    const char* name;
};
constexpr Named<ComponentType> kTypeNames[] = {
    {ComponentType::Panel, "panel"},
    {ComponentType::Button, "button"},
    {ComponentType::Label, "label"},
    {ComponentType::EditBox, "editbox"},
};
constexpr Named<ComponentAlign> kAlignNames[] = {
    {ComponentAlign::Center, "center"}, {ComponentAlign::Left, "left"},     {ComponentAlign::Right, "right"},
    {ComponentAlign::Top, "top"},       {ComponentAlign::Bottom, "bottom"},
};
constexpr Named<GuiEvent> kEventNames[] = {
    {GuiEvent::None, "none"},
    {GuiEvent::Click, "click"},
    {GuiEvent::MouseIn, "mousein"},
    {GuiEvent::MouseOut, "mouseout"},
    {GuiEvent::MouseMove, "mousemove"},
    {GuiEvent::MouseLeftPressed, "mouseleftpressed"},
    {GuiEvent::MouseLeftReleased, "mouseleftreleased"},
    {GuiEvent::Change, "change"},
    {GuiEvent::Create, "create"},
    {GuiEvent::Destroy, "destroy"},
    {GuiEvent::OnEnable, "onenable"},
    {GuiEvent::OnDisable, "ondisable"},
};
static_assert(std::size(kEventNames) == kGuiEventCount);

template <typename E, size_t N>
E ValueNamed(const Named<E> (&table)[N], const std::string& name, E otherwise)
{
    for (const Named<E>& entry : table) {
        if (name == entry.name) {
            return entry.value;
        }
    }
    return otherwise;
}

template <typename E, size_t N>
const char* NameOf(const Named<E> (&table)[N], E value, const char* otherwise)
{
    for (const Named<E>& entry : table) {
        if (entry.value == value) {
            return entry.name;
        }
    }
    return otherwise;
}

GuiSoundPlayer& SoundPlayer()
{
    static GuiSoundPlayer s_player;
    return s_player;
}

bool AlwaysFeedback(GuiEvent event)
{
    return event == GuiEvent::Create || event == GuiEvent::Destroy || event == GuiEvent::OnEnable || event == GuiEvent::OnDisable;
}

} // namespace

ComponentType ComponentTypeFromName(const std::string& name)
{
    return ValueNamed(kTypeNames, name, ComponentType::Unknown);
}

ComponentAlign ComponentAlignFromName(const std::string& name)
{
    return ValueNamed(kAlignNames, name, ComponentAlign::Unknown);
}

const char* ComponentTypeName(ComponentType type) { return NameOf(kTypeNames, type, "?"); }

const char* GuiEventName(GuiEvent event) { return NameOf(kEventNames, event, ""); }

GuiEvent GuiEventFromName(const std::string& name) { return ValueNamed(kEventNames, name, GuiEvent::None); }

void SetGuiSoundPlayer(GuiSoundPlayer player) { SoundPlayer() = std::move(player); }

void PlayGuiSound(const std::string& path)
{
    if (SoundPlayer()) {
        SoundPlayer()(path);
    } else {
        SoundManager::Instance().Play(path);
    }
}

// --- Construction and loading ------------------------------------------------

GUIComponent::GUIComponent(Screen* screen, GUIComponent* parent) : m_screen(screen), m_parent(parent) {}

GUIComponent::~GUIComponent()
{
    for (const GUIComponentPtr& child : m_children) {
        child->m_parent = nullptr;
    }
}

const std::string& GUIComponent::LogPrefix() const
{
    static const std::string s_none;
    return m_screen ? m_screen->GetPath() : s_none;
}

bool GUIComponent::Load(const XMLElement& element)
{
    if (element.Children().empty()) {
        GetLog() << Error << LogPrefix() << ": tag <component> has no subtags" << EndL;
        return false;
    }
    LanguageManager& language = LanguageManager::Instance();
    m_edit.codePage = language.GetCodePage();
    for (const auto& [tag, child] : element.Children()) {
        const std::string& text = child->GetText();
        if (tag == "component") {
            GUIComponentPtr component(new GUIComponent(m_screen, this));
            if (component->Load(*child)) {
                m_children.push_back(component);
            }
        } else if (tag == "event") {
            LoadEvent(*child);
        } else if (tag == "name") {
            m_name = Trim(text);
        } else if (tag == "layer") {
            m_layer = ParseInt(text);
        } else if (tag == "type") {
            m_type = ComponentTypeFromName(Trim(text));
        } else if (tag == "xcenter") {
            m_x = ParseInt(text);
        } else if (tag == "ycenter") {
            m_y = ParseInt(text);
        } else if (tag == "hasfocus") {
            m_hasFocus = ParseInt(text) != 0;
        } else if (tag == "maxchar") {
            m_edit.maxChars = ParseInt(text);
        } else if (tag == "hint") {
            m_hint = language.GetText(Trim(text));
        } else if (tag == "forcehint") {
            m_forceHint = true;
        } else if (tag == "caption") {
            m_caption = language.GetText(Trim(text));
        } else if (tag == "align" || tag == "horizontalalign") {
            m_hAlign = ComponentAlignFromName(Trim(text));
        } else if (tag == "verticalalign") {
            m_vAlign = ComponentAlignFromName(Trim(text));
        } else if (tag == "captioncolor") {
            m_captionColor = ParseColor(Trim(text));
        } else if (tag == "captionshadowcolor") {
            m_shadowColor = ParseColor(Trim(text));
            if (m_shadowType == -1) {
                m_shadowType = 0;
            }
        } else if (tag == "captionshadowtype") {
            m_shadowType = ParseInt(text);
        } else if (tag == "captionscale") {
            if (!m_screen || !m_screen->IsEastAsian()) {
                m_captionScale = ParseFloat(text);
            }
        } else if (tag == "tag") {
            m_tag = ParseInt(text);
        } else if (tag == "font") {
            m_font = ParseInt(text);
        } else if (tag == "width") {
            m_width = ParseInt(text);
        } else if (tag == "height") {
            m_height = ParseInt(text);
        } else if (tag == "enabled") {
            m_enabled = ParseInt(text) != 0;
        } else if (tag == "visible") {
            m_visible = ParseInt(text) != 0;
        } else if (tag == "hotkey") {
            m_hotkey = KeyCodeFromName(Trim(text));
        } else if (tag == "cursor") {
            m_cursor = ParseInt(text);
        }
    }
    if (m_type == ComponentType::EditBox) {
        m_edit.caret = m_edit.text.size();
    }
    CreateVisuals();
    FireEvent(GuiEvent::Create, static_cast<float>(m_x), static_cast<float>(m_y));
    return true;
}

bool GUIComponent::LoadEvent(const XMLElement& element)
{
    EventEntryPtr entry = MakeIntrusive<EventEntry>();
    std::string name;
    for (const auto& [tag, child] : element.Children()) {
        const std::string text = Trim(child->GetText());
        if (tag == "name") {
            name = text;
        } else if (tag == "sound") {
            entry->soundPath = text;
            // A sound description or a plain sample: the sound layer tells them apart by the ".xml".
            if (!text.empty() && FrameLoop::Instance().IsInitialised()) {
                entry->sound = SoundManager::Instance().GetSound(text);
            }
        } else if (tag == "node") {
            entry->nodePath = text;
            if (!text.empty()) {
                NodeLibrary::Instance().GetPrototype(text); // loads (and reports) with the screen
            }
        }
    }
    m_events[name] = entry;
    return true;
}

const EventEntry* GUIComponent::GetEvent(const std::string& name) const
{
    auto found = m_events.find(name);
    return found == m_events.end() ? nullptr : found->second.Get();
}

int32_t GUIComponent::EffectiveLayer() const
{
    if (m_layer >= 0) {
        return m_layer;
    }
    if (m_parent) {
        return m_parent->EffectiveLayer();
    }
    return m_screen ? m_screen->GetLayer() : 0;
}

// --- Events -----------------------------------------------------------------------

void GUIComponent::FireEvent(GuiEvent event, float x, float y)
{
    GUIComponentPtr self(this); // a handler may close the screen that owns us
    const bool visible = IsVisible();
    const bool active = visible && IsEnabled();
    auto found = m_events.find(GuiEventName(event));
    const EventEntry* entry = found == m_events.end() ? nullptr : found->second.Get();

    if (m_type == ComponentType::Button && active && (!entry || entry->soundPath.empty())) {
        if (event == GuiEvent::Click) {
            PlayGuiSound(kDefaultClickSound);
        } else if (event == GuiEvent::MouseIn) {
            PlayGuiSound(kDefaultMouseInSound);
        } else if (event == GuiEvent::MouseOut) {
            PlayGuiSound(kDefaultMouseOutSound);
        }
    }
    if (event == GuiEvent::Destroy) {
        const std::vector<GUIComponentPtr> children = m_children;
        for (const GUIComponentPtr& child : children) {
            child->FireEvent(GuiEvent::Destroy, -10000, -10000);
        }
    }
    if (entry && (active || AlwaysFeedback(event))) {
        if (!entry->soundPath.empty()) {
            PlayGuiSound(entry->soundPath);
        }
        ShowEventNode(*entry, event == GuiEvent::Create);
    }
    if (event == GuiEvent::Destroy && !m_parent && m_node) {
        // The root's closing picture: the screen leaves once the node has expired.
        const int64_t now = m_node->GetTime();
        m_node->SetAlphaFade(true, now, now + kCloseMs, 255, 0);
        m_node->SetLifetime(kCloseMs);
    }
    // A run without a pointer of its own (a tool, a test) has none to change.
    if (m_cursor >= 0 && MouseCursor::IsInstalled()) {
        if (event == GuiEvent::MouseIn && active) {
            MouseCursor::Instance().SetCursor(m_cursor, "");
        } else if (event == GuiEvent::MouseOut) {
            MouseCursor::Instance().SetCursor(kCursorArrow, "");
        }
    }
    const size_t slot = GuiEventIndex(event);
    if (active && slot < kGuiEventCount && m_handlers[slot]) {
        Handler handler = m_handlers[slot];
        handler(*this);
    }
    (void)x;
    (void)y;
}

void GUIComponent::SetHandler(GuiEvent event, Handler handler)
{
    if (GuiEventIndex(event) < kGuiEventCount) {
        m_handlers[GuiEventIndex(event)] = std::move(handler);
    }
}

GUIComponent* GUIComponent::Find(const std::string& name)
{
    if (m_name == name) {
        return this;
    }
    for (const GUIComponentPtr& child : m_children) {
        if (GUIComponent* found = child->Find(name)) {
            return found;
        }
    }
    return nullptr;
}

void GUIComponent::Walk(const std::function<void(GUIComponent&, int)>& fn, int depth)
{
    fn(*this, depth);
    for (const GUIComponentPtr& child : m_children) {
        child->Walk(fn, depth + 1);
    }
}

// --- State ------------------------------------------------------------------------

Vec3 GUIComponent::GetPosition() const
{
    if (!m_node) {
        GetLog() << Error << "GUIComponent::GetPosition: SceneNode is NULL (" << m_name << ")" << EndL;
        return {};
    }
    return m_node->GetPosition();
}

Vec3 GUIComponent::GetWorldPosition() const
{
    if (!m_node) {
        GetLog() << Error << "GUIComponent::GetWorldPosition: SceneNode is NULL (" << m_name << ")" << EndL;
        return {};
    }
    return m_node->GetWorldPosition();
}

bool GUIComponent::IsVisible() const
{
    for (const GUIComponent* c = this; c; c = c->m_parent) {
        if (!c->m_visible) {
            return false;
        }
    }
    return true;
}

bool GUIComponent::IsEnabled() const
{
    for (const GUIComponent* c = this; c; c = c->m_parent) {
        if (!c->m_enabled) {
            return false;
        }
    }
    return true;
}

void GUIComponent::SetVisible(bool visible)
{
    m_visible = visible;
    if (!m_node) {
        return;
    }
    // Scene nodes know no inherited visibility, so the subtree is set from the flags.
    Walk([](GUIComponent& c, int) {
        const bool shown = c.IsVisible();
        ForEachNode(*c.m_node, [&c, shown](SceneNode& node) {
            // Child components' nodes are visited by the walk itself; glyphs
            // outside an edit box stay hidden.
            if (&node == c.m_node.Get() || shown == false) {
                node.SetVisible(shown, Scope::Node);
            } else if (&node != c.m_caretNode.Get() && &node != c.m_selectionNode.Get()) {
                node.SetVisible(true, Scope::Node);
            }
        });
        if (c.m_type == ComponentType::EditBox && shown) {
            c.LayoutEditText();
        }
        c.m_lookState.reset(); // the highlight shows only under the pointer
        c.UpdateLook();
    });
}

void GUIComponent::SetEnabled(bool enabled)
{
    if (m_enabled == enabled) {
        return;
    }
    m_enabled = enabled;
    Walk([](GUIComponent& c, int) {
        c.m_lookState.reset();
        c.LayoutCaption(); // restores the caption's colours
        c.UpdateLook();
    });
    FireEvent(enabled ? GuiEvent::OnEnable : GuiEvent::OnDisable, static_cast<float>(m_x), static_cast<float>(m_y));
}

void GUIComponent::SetCaption(const std::string& caption)
{
    m_caption = caption;
    if (m_caption.size() > kMaxCaptionBytes) {
        // Each character drawn is a node: a runaway translation would cost
        // gigabytes. No text of the game comes near this.
        const uint32_t codePage = GetCaptionCodePage();
        size_t end = 0;
        while (end < m_caption.size()) {
            const size_t next = end + std::max<size_t>(1, CharLength(m_caption, end, codePage));
            if (next > kMaxCaptionBytes) {
                break;
            }
            end = next;
        }
        GetLog() << Warning << "The caption of \"" << m_name << "\" is " << m_caption.size()
                 << " bytes long; only its first " << end << " are shown" << EndL;
        m_caption.resize(end);
    }
    if (m_node) {
        LayoutCaption();
        UpdateLook();
        if (m_captionNode && !IsVisible()) {
            m_captionNode->SetVisible(false, Scope::Subtree);
        }
    }
}

void GUIComponent::SetCenter(int32_t x, int32_t y)
{
    m_x = x;
    m_y = y;
    if (m_node) {
        m_node->SetPosition({static_cast<float>(x), static_cast<float>(y), m_node->GetPosition().z}, Transform::Now);
    }
}

void GUIComponent::SetSize(int32_t width, int32_t height)
{
    m_width = width;
    m_height = height;
    if (m_picture && m_pictureWidth > 0 && m_pictureHeight > 0) {
        // The picture was drawn for the size the file gave; it stretches with the component.
        m_picture->SetScale(static_cast<float>(width) / static_cast<float>(m_pictureWidth),
                            static_cast<float>(height) / static_cast<float>(m_pictureHeight), Transform::Now);
        if (m_highlight) {
            m_highlight->SetScale(m_picture->GetScale().x, m_picture->GetScale().y, Transform::Now);
        }
    }
    if (m_node) {
        LayoutCaption();
        if (m_type == ComponentType::EditBox) {
            LayoutEditText();
        }
        UpdateLook();
    }
}

void GUIComponent::SetText(const std::string& text)
{
    m_edit.SetText(text);
    EditChanged();
}

void GUIComponent::SetFocus(bool focus)
{
    m_hasFocus = focus;
    if (!focus && m_caretNode) {
        m_caretNode->SetVisible(false, Scope::Node);
    }
    if (!focus) {
        m_edit.ClearSelection();
        m_selecting = false;
    }
    m_caretShown = 0;
}

void GUIComponent::EditChanged()
{
    if (m_type != ComponentType::EditBox || !m_node) {
        return;
    }
    LayoutEditText();
    m_caretShown = 0; // shows the caret at once
}

} // namespace tsv
