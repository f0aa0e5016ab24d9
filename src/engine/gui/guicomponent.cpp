#include "engine/gui/guicomponent.h"

#include "engine/core/log.h"
#include "engine/core/util/file/textconvert.h"
#include "engine/gui/languagemanager.h"
#include "engine/gui/mousecursor.h"
#include "engine/gui/screen.h"
#include "engine/platform/keynames.h"
#include "engine/runtime/application.h"
#include "engine/scene/nodelibrary.h"
#include "engine/scene/nodeloader.h"
#include "engine/scene/scenemanager.h"
#include "engine/sound/soundmanager.h"

#include <algorithm>
#include <cstring>

namespace tsv {

namespace {

constexpr const char* kTypeNames[] = {"panel", "button", "label", "editbox"};
constexpr const char* kAlignNames[] = {"center", "left", "right", "top", "bottom"};
constexpr const char* kEventNames[kGuiEventCount] = {"none",
                                                     "click",
                                                     "mousein",
                                                     "mouseout",
                                                     "mousemove",
                                                     "mouseleftpressed",
                                                     "mouseleftreleased",
                                                     "change",
                                                     "create",
                                                     "destroy",
                                                     "onenable",
                                                     "ondisable"};

// Drawing order inside one layer: a larger z is drawn first.
constexpr float kPictureZ = 0.0f;
constexpr float kShadowZ = -0.4f;
constexpr float kCaptionZ = -0.5f;
constexpr float kEventNodeZ = -0.7f;
constexpr float kChildZ = -1.0f;

// Space kept between a caption and its component's edges, in pixels.
constexpr float kCaptionPadding = 6.0f;
// How long an event's picture stays when its node file gives it no lifetime.
constexpr int64_t kEventNodeLifetimeMs = 1000;

// Looks of a component: colours multiplied into its picture.
enum ELook { LookNormal = 0, LookHover = 1, LookPressed = 2, LookDisabled = 3 };
constexpr uint32_t kLookColours[] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFC0C0C0, 0xB0909090};
// Under the pointer a button's picture is drawn once more, added as light.
constexpr uint32_t kHighlightColour = 0x60FFFFFF;
constexpr float kHighlightZ = -0.2f;
constexpr uint32_t kSelectionColour = 0x804A7FD0;

GuiSoundPlayer& SoundPlayer()
{
    static GuiSoundPlayer s_player;
    return s_player;
}

std::string Trim(const std::string& text)
{
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

SceneNodePtr MakeQuad(float w, float h, uint32_t colour)
{
    SceneNodePtr node = MakeIntrusive<SceneNode>();
    node->SetMesh(Mesh(w, h));
    node->SetColor(colour);
    return node;
}

// Applies `fn` to the node and every scene node below it.
template <class Fn>
void ForEachNode(SceneNode& node, Fn&& fn)
{
    fn(node);
    if (const auto& children = node.GetChildren()) {
        for (const HierarchyNodePtr& child : children->nodes) {
            if (auto* scene = dynamic_cast<SceneNode*>(child.Get())) {
                ForEachNode(*scene, fn);
            }
        }
    }
}

void SetLayerOf(SceneNode& node, int32_t layer) { node.SetLayer(layer, true); }

bool AlwaysFeedback(int32_t event)
{
    return event == EventCreate || event == EventDestroy || event == EventOnEnable || event == EventOnDisable;
}

} // namespace

ComponentType ComponentTypeFromName(const std::string& name)
{
    for (int32_t i = 0; i < 4; ++i) {
        if (name == kTypeNames[i]) {
            return static_cast<ComponentType>(i);
        }
    }
    return ComponentUnknown;
}

ComponentAlign ComponentAlignFromName(const std::string& name)
{
    for (int32_t i = 0; i < 5; ++i) {
        if (name == kAlignNames[i]) {
            return static_cast<ComponentAlign>(i);
        }
    }
    return AlignUnknown;
}

const char* ComponentTypeName(int32_t type) { return type >= 0 && type < 4 ? kTypeNames[type] : "?"; }

const char* GuiEventName(int32_t event) { return event >= 0 && event < kGuiEventCount ? kEventNames[event] : ""; }

GuiEvent GuiEventFromName(const std::string& name)
{
    for (int32_t i = 0; i < kGuiEventCount; ++i) {
        if (name == kEventNames[i]) {
            return static_cast<GuiEvent>(i);
        }
    }
    return EventNone;
}

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
    if (m_type == ComponentEditBox) {
        m_edit.caret = m_edit.text.size();
    }
    CreateVisuals();
    FireEvent(EventCreate, static_cast<float>(m_x), static_cast<float>(m_y));
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
            if (!text.empty() && SceneManager::Instance().IsInitialised()) {
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

// --- Visuals -------------------------------------------------------------------

void GUIComponent::CreateVisuals()
{
    m_node = MakeIntrusive<SceneNode>();
    m_node->SetLayer(EffectiveLayer(), false);
    m_node->SetPosition({static_cast<float>(m_x), static_cast<float>(m_y), m_parent ? kChildZ : 0.0f}, false);
    LayoutCaption();
    if (m_type == ComponentEditBox) {
        const Font* font = CaptionFont(false);
        const float lineHeight = font ? font->GetLineHeight() * m_captionScale : 16.0f;
        m_selectionNode = MakeQuad(1, lineHeight, kSelectionColour);
        m_selectionNode->SetVisible(false, false);
        m_caretNode = MakeQuad(2, lineHeight, m_captionColor | 0xFF000000);
        m_caretNode->SetVisible(false, false);
        for (const SceneNodePtr& node : {m_selectionNode, m_caretNode}) {
            node->SetLayer(EffectiveLayer(), false);
            m_node->AddChild(HierarchyNodePtr(node.Get()));
        }
        m_selectionNode->SetPosition({0, 0, kShadowZ}, false);
        m_caretNode->SetPosition({0, 0, kEventNodeZ}, false);
        LayoutEditText();
    }
    for (const GUIComponentPtr& child : m_children) {
        m_node->AddChild(HierarchyNodePtr(child->m_node.Get()));
    }
    m_node->UpdateWorldTransform();
    m_node->SetVisible(m_visible, false);
}

const Font* GUIComponent::CaptionFont(bool report) const
{
    const Font* font = LanguageManager::Instance().GetFont(m_font);
    if (!font && report) {
        GetLog() << Error << LogPrefix() << ":\tfont reference error" << EndL;
    }
    return font;
}

void GUIComponent::LayoutCaption()
{
    if (m_captionNode) {
        m_node->RemoveChild(m_captionNode.Get(), true);
        m_captionNode.Reset();
    }
    if (m_caption.empty() || m_type == ComponentEditBox) {
        return;
    }
    const Font* font = CaptionFont(true);
    if (!font) {
        return;
    }
    float scale = m_captionScale > 0 ? m_captionScale : 1.0f;
    const float halfW = static_cast<float>(m_width) * 0.5f;
    const float halfH = static_cast<float>(m_height) * 0.5f;
    const float pad = m_type == ComponentLabel ? 0.0f : kCaptionPadding;
    std::string text = m_caption;
    if (m_type == ComponentButton && m_width > 0) {
        // A button keeps its caption on one line, shrunk when it would not fit.
        const float room = static_cast<float>(m_width) - 2 * pad;
        const float width = font->MeasureText(m_caption).x * scale;
        if (width > room && width > 0) {
            scale *= room / width;
        }
    } else if (m_width > 0) {
        const bool anyCharacter = IsDoubleByteCodePage(font->GetCodePage()) ||
                                  IsEastAsian(LanguageManager::Instance().GetCurrent());
        text = font->WrapText(m_caption, (static_cast<float>(m_width) - 2 * pad) / scale, anyCharacter);
    }
    std::vector<std::string> lines;
    for (size_t start = 0;;) {
        const size_t end = text.find_first_of("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    const float lineHeight = font->GetLineHeight();
    const float total = lineHeight * static_cast<float>(lines.size()) * scale;
    float top = -total * 0.5f;
    if (m_vAlign == AlignTop) {
        top = -halfH + pad;
    } else if (m_vAlign == AlignBottom) {
        top = halfH - pad - total;
    }

    m_captionNode = MakeIntrusive<SceneNode>();
    m_captionNode->SetLayer(EffectiveLayer(), false);
    m_captionNode->SetPosition({0, 0, kCaptionZ}, false);
    // The shadow is the same text again in one colour, behind it.
    struct Offset {
        float x, y;
    };
    std::vector<Offset> shadowOffsets;
    switch (m_shadowType) {
    case -1:
        break;
    case 1: // outline
        shadowOffsets = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
        break;
    case 2: // deep
        shadowOffsets = {{1, 1}, {2, 2}, {3, 3}};
        break;
    default: // drop shadow
        shadowOffsets = {{2, 2}};
        break;
    }
    auto layLines = [&](SceneNode& holder, uint32_t colour) {
        float y = top;
        for (const std::string& line : lines) {
            const float width = font->MeasureLine(line, 0, line.size()) * scale;
            float x = -width * 0.5f;
            if (m_hAlign == AlignLeft) {
                x = -halfW + pad;
            } else if (m_hAlign == AlignRight) {
                x = halfW - pad - width;
            }
            SceneNodePtr lineNode = MakeIntrusive<SceneNode>();
            lineNode->SetLayer(EffectiveLayer(), false);
            lineNode->SetScale(scale, scale, false);
            lineNode->SetPosition({x, y, 0}, false);
            holder.AddChild(HierarchyNodePtr(lineNode.Get()));
            colour = font->LayText(line, *lineNode, colour);
            y += lineHeight * scale;
        }
    };
    for (const Offset& offset : shadowOffsets) {
        SceneNodePtr shadow = MakeIntrusive<SceneNode>();
        shadow->SetLayer(EffectiveLayer(), false);
        shadow->SetPosition({offset.x * scale, offset.y * scale, kShadowZ - kCaptionZ}, false);
        m_captionNode->AddChild(HierarchyNodePtr(shadow.Get()));
        layLines(*shadow, m_shadowColor);
        const uint32_t shadowColour = m_shadowColor;
        ForEachNode(*shadow, [shadowColour](SceneNode& node) {
            if (node.HasMesh()) {
                node.SetColor(shadowColour);
            }
        });
    }
    SceneNodePtr face = MakeIntrusive<SceneNode>();
    face->SetLayer(EffectiveLayer(), false);
    m_captionNode->AddChild(HierarchyNodePtr(face.Get()));
    layLines(*face, m_captionColor);
    m_node->AddChild(HierarchyNodePtr(m_captionNode.Get()));
    m_captionNode->UpdateWorldTransform();
    m_lookState = -1;
}

void GUIComponent::LayoutEditText()
{
    if (m_textNode) {
        m_node->RemoveChild(m_textNode.Get(), true);
        m_textNode.Reset();
    }
    const Font* font = CaptionFont(false);
    if (!font || !m_caretNode) {
        return;
    }
    const float scale = m_captionScale > 0 ? m_captionScale : 1.0f;
    const float visible = std::max(1.0f, static_cast<float>(m_width) - 2 * kEditPadding);
    const float left = -static_cast<float>(m_width) * 0.5f + kEditPadding;
    const float lineHeight = font->GetLineHeight() * scale;
    const float caretX = font->MeasureLine(m_edit.text, 0, m_edit.caret) * scale;
    // Keep the caret in view: the text slides left as it grows past the box.
    if (caretX - m_textScroll > visible) {
        m_textScroll = caretX - visible;
    } else if (caretX < m_textScroll) {
        m_textScroll = caretX;
    }
    m_textNode = MakeIntrusive<SceneNode>();
    m_textNode->SetLayer(EffectiveLayer(), false);
    m_textNode->SetScale(scale, scale, false);
    m_textNode->SetPosition({left - m_textScroll, -lineHeight * 0.5f, kCaptionZ}, false);
    m_node->AddChild(HierarchyNodePtr(m_textNode.Get()));
    font->LayText(m_edit.text, *m_textNode, m_captionColor);
    if (const auto& glyphs = m_textNode->GetChildren()) {
        for (const HierarchyNodePtr& child : glyphs->nodes) {
            auto* glyph = static_cast<SceneNode*>(child.Get());
            const float x = glyph->GetPosition().x * scale;
            const float w = glyph->GetMesh().width * scale;
            glyph->SetVisible(x >= m_textScroll - 0.5f && x + w <= m_textScroll + visible + 0.5f, false);
        }
    }
    m_caretNode->SetPosition({left + caretX - m_textScroll + 1, 0, kEventNodeZ}, true);
    if (m_edit.HasSelection()) {
        const auto [from, to] = std::minmax(m_edit.selStart, m_edit.selEnd);
        float x0 = font->MeasureLine(m_edit.text, 0, static_cast<size_t>(from)) * scale - m_textScroll;
        float x1 = font->MeasureLine(m_edit.text, 0, static_cast<size_t>(to)) * scale - m_textScroll;
        x0 = std::clamp(x0, 0.0f, visible);
        x1 = std::clamp(x1, 0.0f, visible);
        Mesh mesh(std::max(1.0f, x1 - x0), lineHeight);
        m_selectionNode->SetMesh(mesh);
        m_selectionNode->SetColor(kSelectionColour);
        m_selectionNode->SetPosition({left + (x0 + x1) * 0.5f, 0, kShadowZ}, true);
        m_selectionNode->SetVisible(IsVisible(), false);
    } else {
        m_selectionNode->SetVisible(false, false);
    }
    m_textNode->SetVisible(IsVisible(), true);
    m_textNode->UpdateWorldTransform();
}

void GUIComponent::UpdateLook()
{
    int32_t look = LookNormal;
    if (!IsEnabled()) {
        look = LookDisabled;
    } else if (m_type == ComponentButton && IsPressed()) {
        look = LookPressed;
    } else if (m_type == ComponentButton && m_hovered) {
        look = LookHover;
    }
    if (look == m_lookState) {
        return;
    }
    m_lookState = look;
    const uint32_t colour = kLookColours[look];
    if (m_picture) {
        ForEachNode(*m_picture, [colour](SceneNode& node) {
            if (node.HasMesh()) {
                node.SetColor(colour);
            }
        });
    }
    if (look == LookHover && m_picture && !m_highlight) {
        m_highlight = static_cast<SceneNode*>(m_picture->Clone(true).Get());
        ForEachNode(*m_highlight, [](SceneNode& node) {
            node.SetMaterial(0, false); // additive
            if (node.HasMesh()) {
                node.SetColor(kHighlightColour);
            }
        });
        m_highlight->SetPosition({0, 0, kHighlightZ}, false);
        m_highlight->SetScale(m_picture->GetScale().x, m_picture->GetScale().y, false);
        m_node->AddChild(HierarchyNodePtr(m_highlight.Get()));
        m_highlight->UpdateWorldTransform();
    }
    if (m_highlight) {
        m_highlight->SetVisible(look == LookHover && IsVisible(), true);
    }
    // A pressed button sinks by a pixel.
    const float sink = look == LookPressed ? 1.0f : 0.0f;
    if (m_picture) {
        m_picture->SetPosition({sink, sink, kPictureZ}, true);
    }
    if (m_captionNode) {
        m_captionNode->SetPosition({sink, sink, kCaptionZ}, true);
        if (look == LookDisabled) {
            ForEachNode(*m_captionNode, [](SceneNode& node) {
                if (node.HasMesh()) {
                    node.SetColor((node.GetColor() & 0x00FFFFFF) | 0x90000000);
                }
            });
        }
    }
}

void GUIComponent::ShowEventNode(const EventEntry& entry, bool persistent)
{
    if (entry.nodePath.empty() || !m_node) {
        return;
    }
    SceneNodePtr node = NodeLibrary::Instance().CreateNode(entry.nodePath);
    if (!node) {
        return;
    }
    SetLayerOf(*node, EffectiveLayer());
    if (persistent) {
        // The picture of the component: replaces the previous one.
        if (m_picture) {
            m_node->RemoveChild(m_picture.Get(), true);
        }
        if (m_highlight) {
            m_node->RemoveChild(m_highlight.Get(), true);
            m_highlight.Reset();
        }
        m_picture = node;
        m_pictureWidth = m_width;
        m_pictureHeight = m_height;
        node->SetPosition({0, 0, kPictureZ}, false);
        m_lookState = -1;
    } else {
        node->SetPosition({0, 0, kEventNodeZ}, false);
        if (node->GetExpiry() == 0) {
            node->SetLifetime(kEventNodeLifetimeMs);
        }
    }
    m_node->AddChild(HierarchyNodePtr(node.Get()));
    node->UpdateWorldTransform();
    if (!IsVisible()) {
        node->SetVisible(false, true);
    }
}

// --- Events -----------------------------------------------------------------------

void GUIComponent::FireEvent(int32_t event, float x, float y)
{
    GUIComponentPtr self(this); // a handler may close the screen that owns us
    const bool visible = IsVisible();
    const bool active = visible && IsEnabled();
    auto found = m_events.find(GuiEventName(event));
    const EventEntry* entry = found == m_events.end() ? nullptr : found->second.Get();

    if (m_type == ComponentButton && active && (!entry || entry->soundPath.empty())) {
        if (event == EventClick) {
            PlayGuiSound(kDefaultClickSound);
        } else if (event == EventMouseIn) {
            PlayGuiSound(kDefaultMouseInSound);
        } else if (event == EventMouseOut) {
            PlayGuiSound(kDefaultMouseOutSound);
        }
    }
    if (event == EventDestroy) {
        const std::vector<GUIComponentPtr> children = m_children;
        for (const GUIComponentPtr& child : children) {
            child->FireEvent(EventDestroy, -10000, -10000);
        }
    }
    if (entry && (active || AlwaysFeedback(event))) {
        if (!entry->soundPath.empty()) {
            PlayGuiSound(entry->soundPath);
        }
        ShowEventNode(*entry, event == EventCreate);
    }
    if (event == EventDestroy && !m_parent && m_node) {
        // The root's closing picture: the screen leaves once the node has expired.
        const int64_t now = m_node->GetTime();
        m_node->SetAlphaFade(true, now, now + kCloseMs, 255, 0);
        m_node->SetLifetime(kCloseMs);
    }
    if (event == EventMouseIn && m_cursor >= 0 && active) {
        MouseCursor::Instance().SetCursor(m_cursor, "");
    } else if (event == EventMouseOut && m_cursor >= 0) {
        MouseCursor::Instance().SetCursor(kCursorArrow, "");
    }
    if (active && event >= 0 && event < kGuiEventCount && m_handlers[event]) {
        Handler handler = m_handlers[event];
        handler(*this);
    }
    (void)x;
    (void)y;
}

void GUIComponent::SetHandler(int32_t event, Handler handler)
{
    if (event >= 0 && event < kGuiEventCount) {
        m_handlers[event] = std::move(handler);
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
                node.SetVisible(shown, false);
            } else if (&node != c.m_caretNode.Get() && &node != c.m_selectionNode.Get()) {
                node.SetVisible(true, false);
            }
        });
        if (c.m_type == ComponentEditBox && shown) {
            c.LayoutEditText();
        }
        c.m_lookState = -1; // the highlight shows only under the pointer
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
        c.m_lookState = -1;
        c.LayoutCaption(); // restores the caption's colours
        c.UpdateLook();
    });
    FireEvent(enabled ? EventOnEnable : EventOnDisable, static_cast<float>(m_x), static_cast<float>(m_y));
}

void GUIComponent::SetCaption(const std::string& caption)
{
    m_caption = caption;
    if (m_node) {
        LayoutCaption();
        UpdateLook();
        if (m_captionNode && !IsVisible()) {
            m_captionNode->SetVisible(false, true);
        }
    }
}

void GUIComponent::SetCenter(int32_t x, int32_t y)
{
    m_x = x;
    m_y = y;
    if (m_node) {
        m_node->SetPosition({static_cast<float>(x), static_cast<float>(y), m_node->GetPosition().z}, true);
    }
}

void GUIComponent::SetSize(int32_t width, int32_t height)
{
    m_width = width;
    m_height = height;
    if (m_picture && m_pictureWidth > 0 && m_pictureHeight > 0) {
        // The picture was drawn for the size the file gave; it stretches with the component.
        m_picture->SetScale(static_cast<float>(width) / static_cast<float>(m_pictureWidth),
                            static_cast<float>(height) / static_cast<float>(m_pictureHeight), true);
        if (m_highlight) {
            m_highlight->SetScale(m_picture->GetScale().x, m_picture->GetScale().y, true);
        }
    }
    if (m_node) {
        LayoutCaption();
        if (m_type == ComponentEditBox) {
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
        m_caretNode->SetVisible(false, false);
    }
    if (!focus) {
        m_edit.ClearSelection();
        m_selecting = false;
    }
    m_caretShown = 0;
}

void GUIComponent::EditChanged()
{
    if (m_type != ComponentEditBox || !m_node) {
        return;
    }
    LayoutEditText();
    m_caretShown = 0; // shows the caret at once
}

} // namespace tsv
