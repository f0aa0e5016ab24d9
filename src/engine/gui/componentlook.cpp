// The drawing half of GUIComponent: its node with the picture, the caption
// and its shadow, an edit box's text, selection and caret, and the looks of
// the hovered, pressed and disabled states.
#include "engine/gui/guicomponent.h"

#include "engine/core/log.h"
#include "engine/gui/font.h"
#include "engine/gui/languagemanager.h"
#include "engine/gui/nodewalk.h"
#include "engine/gui/screen.h"
#include "engine/scene/nodelibrary.h"
#include "engine/scene/frameloop.h"

#include <algorithm>
#include <vector>

namespace tsv {

enum class GUIComponent::Look : int32_t { Normal = 0, Hover = 1, Pressed = 2, Disabled = 3 };

namespace {

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

// Per channel, a * b / 255.
uint32_t MultiplyColours(uint32_t a, uint32_t b)
{
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        out |= ((ca * cb + 127) / 255) << shift;
    }
    return out;
}

// Colours multiplied into a component's picture, per look.
constexpr uint32_t kLookColours[] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFC0C0C0, 0xB0909090};
constexpr size_t LookIndex(GUIComponent::Look look) { return static_cast<size_t>(look); }
// Under the pointer a button's picture is drawn once more, added as light.
constexpr uint32_t kHighlightColour = 0x60FFFFFF;
constexpr float kHighlightZ = -0.2f;
constexpr uint32_t kSelectionColour = 0x804A7FD0;

// The keyboard's focus: a glowing ring drawn in nine pieces around the
// button, so one picture fits buttons of every size. Its ring lies 14 texels
// inside the picture, which reaches this far beyond the button's edge: the
// ring runs just outside the button.
constexpr const char* kFocusFrameTexture = "/texture/gui/dialog/focusframe.png";
constexpr float kFocusFrameSize = 96.0f;   // texels, square
constexpr float kFocusFrameCorner = 40.0f; // texels kept unstretched at each corner
constexpr float kFocusFrameReach = 16.0f;  // pixels beyond the button's edge
constexpr float kFocusFrameZ = -0.3f;      // over the picture, under the caption

SceneNodePtr MakeQuad(float w, float h, uint32_t colour)
{
    SceneNodePtr node = MakeIntrusive<SceneNode>();
    node->SetMesh(Mesh(w, h));
    node->SetColor(colour);
    return node;
}

void SetLayerOf(SceneNode& node, int32_t layer) { node.SetLayer(layer, Scope::Subtree); }

} // namespace

void GUIComponent::CreateVisuals()
{
    m_node = MakeIntrusive<SceneNode>();
    m_node->SetLayer(EffectiveLayer(), Scope::Node);
    m_node->SetPosition({static_cast<float>(m_x), static_cast<float>(m_y), m_parent ? kChildZ : 0.0f},
                        Transform::Later);
    LayoutCaption();
    if (m_type == ComponentType::EditBox) {
        const Font* font = CaptionFont(MissingFont::Quiet);
        const float lineHeight = font ? font->GetLineHeight() * m_captionScale : 16.0f;
        m_selectionNode = MakeQuad(1, lineHeight, kSelectionColour);
        m_selectionNode->SetVisible(false, Scope::Node);
        m_caretNode = MakeQuad(2, lineHeight, m_captionColor | 0xFF000000);
        m_caretNode->SetVisible(false, Scope::Node);
        for (const SceneNodePtr& node : {m_selectionNode, m_caretNode}) {
            node->SetLayer(EffectiveLayer(), Scope::Node);
            m_node->AddChild(HierarchyNodePtr(node.Get()));
        }
        m_selectionNode->SetPosition({0, 0, kShadowZ}, Transform::Later);
        m_caretNode->SetPosition({0, 0, kEventNodeZ}, Transform::Later);
        LayoutEditText();
    }
    for (const GUIComponentPtr& child : m_children) {
        m_node->AddChild(HierarchyNodePtr(child->m_node.Get()));
    }
    m_node->UpdateWorldTransform();
    m_node->SetVisible(m_visible, Scope::Node);
}

void GUIComponent::SetCaptionFont(const IntrusivePtr<Font>& font)
{
    m_captionFont = font;
    if (m_node) {
        LayoutCaption();
        m_lookState.reset();
        UpdateLook();
    }
}

uint32_t GUIComponent::GetCaptionCodePage() const { return m_captionFont ? m_captionFont->GetCodePage() : 0; }

const Font* GUIComponent::CaptionFont(MissingFont missing) const
{
    if (m_captionFont) {
        return m_captionFont.Get();
    }
    const Font* font = LanguageManager::Instance().GetFont(m_font);
    if (!font && missing == MissingFont::Report) {
        GetLog() << Error << LogPrefix() << ":\tfont reference error" << EndL;
    }
    return font;
}

void GUIComponent::LayoutCaption()
{
    if (m_captionNode) {
        m_node->RemoveChild(m_captionNode.Get(), Detach::Now);
        m_captionNode.Reset();
        m_captionFace.Reset();
    }
    if (m_caption.empty() || m_type == ComponentType::EditBox) {
        return;
    }
    const Font* font = CaptionFont(MissingFont::Report);
    if (!font) {
        return;
    }
    float scale = m_captionScale > 0 ? m_captionScale : 1.0f;
    const float halfW = static_cast<float>(m_width) * 0.5f;
    const float halfH = static_cast<float>(m_height) * 0.5f;
    const float pad = m_type == ComponentType::Label ? 0.0f : kCaptionPadding;
    std::string text = m_caption;
    if (m_type == ComponentType::Button && m_width > 0) {
        // A button keeps its caption on one line, shrunk when it would not fit.
        const float room = static_cast<float>(m_width) - 2 * pad;
        const float width = font->MeasureText(m_caption).x * scale;
        if (width > room && width > 0) {
            scale *= room / width;
        }
    } else if (m_width > 0) {
        const bool anyCharacter = BreaksBetweenAnyCharacters(LanguageManager::Instance().GetCurrent());
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
    // One line in a box lower than the font's line (the East Asian fonts keep
    // their full size whatever scale the screen file gives) shrinks to the box.
    if (lines.size() == 1 && m_height > 0 && lineHeight * scale > static_cast<float>(m_height)) {
        scale = static_cast<float>(m_height) / lineHeight;
    }
    const float total = lineHeight * static_cast<float>(lines.size()) * scale;
    float top = -total * 0.5f;
    if (m_vAlign == ComponentAlign::Top) {
        top = -halfH + pad;
    } else if (m_vAlign == ComponentAlign::Bottom) {
        top = halfH - pad - total;
    }

    m_captionNode = MakeIntrusive<SceneNode>();
    m_captionNode->SetLayer(EffectiveLayer(), Scope::Node);
    m_captionNode->SetPosition({0, 0, kCaptionZ}, Transform::Later);
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
            if (m_hAlign == ComponentAlign::Left) {
                x = -halfW + pad;
            } else if (m_hAlign == ComponentAlign::Right) {
                x = halfW - pad - width;
            }
            SceneNodePtr lineNode = MakeIntrusive<SceneNode>();
            lineNode->SetLayer(EffectiveLayer(), Scope::Node);
            lineNode->SetScale(scale, scale, Transform::Later);
            lineNode->SetPosition({x, y, 0}, Transform::Later);
            holder.AddChild(HierarchyNodePtr(lineNode.Get()));
            colour = font->LayText(line, *lineNode, colour);
            y += lineHeight * scale;
        }
    };
    for (const Offset& offset : shadowOffsets) {
        SceneNodePtr shadow = MakeIntrusive<SceneNode>();
        shadow->SetLayer(EffectiveLayer(), Scope::Node);
        shadow->SetPosition({offset.x * scale, offset.y * scale, kShadowZ - kCaptionZ}, Transform::Later);
        m_captionNode->AddChild(HierarchyNodePtr(shadow.Get()));
        layLines(*shadow, m_shadowColor);
        const uint32_t shadowColour = m_shadowColor;
        ForEachNode(*shadow, [shadowColour](SceneNode& node) {
            if (node.HasMesh()) {
                node.SetColor(shadowColour);
            }
        });
    }
    m_captionFace = MakeIntrusive<SceneNode>();
    m_captionFace->SetLayer(EffectiveLayer(), Scope::Node);
    m_captionNode->AddChild(HierarchyNodePtr(m_captionFace.Get()));
    layLines(*m_captionFace, m_captionColor);
    m_node->AddChild(HierarchyNodePtr(m_captionNode.Get()));
    m_captionNode->UpdateWorldTransform();
    m_lookState.reset();
}

void GUIComponent::LayoutEditText()
{
    if (m_textNode) {
        m_node->RemoveChild(m_textNode.Get(), Detach::Now);
        m_textNode.Reset();
    }
    const Font* font = CaptionFont(MissingFont::Quiet);
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
    m_textNode->SetLayer(EffectiveLayer(), Scope::Node);
    m_textNode->SetScale(scale, scale, Transform::Later);
    m_textNode->SetPosition({left - m_textScroll, -lineHeight * 0.5f, kCaptionZ}, Transform::Later);
    m_node->AddChild(HierarchyNodePtr(m_textNode.Get()));
    font->LayText(m_edit.text, *m_textNode, m_captionColor);
    if (const auto& glyphs = m_textNode->GetChildren()) {
        for (const HierarchyNodePtr& child : glyphs->nodes) {
            auto* glyph = static_cast<SceneNode*>(child.Get());
            const float x = glyph->GetPosition().x * scale;
            const float w = glyph->GetMesh().width * scale;
            glyph->SetVisible(x >= m_textScroll - 0.5f && x + w <= m_textScroll + visible + 0.5f, Scope::Node);
        }
    }
    m_caretNode->SetPosition({left + caretX - m_textScroll + 1, 0, kEventNodeZ}, Transform::Now);
    if (m_edit.HasSelection()) {
        const auto [from, to] = std::minmax(m_edit.selStart, m_edit.selEnd);
        float x0 = font->MeasureLine(m_edit.text, 0, static_cast<size_t>(from)) * scale - m_textScroll;
        float x1 = font->MeasureLine(m_edit.text, 0, static_cast<size_t>(to)) * scale - m_textScroll;
        x0 = std::clamp(x0, 0.0f, visible);
        x1 = std::clamp(x1, 0.0f, visible);
        Mesh mesh(std::max(1.0f, x1 - x0), lineHeight);
        m_selectionNode->SetMesh(mesh);
        m_selectionNode->SetColor(kSelectionColour);
        m_selectionNode->SetPosition({left + (x0 + x1) * 0.5f, 0, kShadowZ}, Transform::Now);
        m_selectionNode->SetVisible(IsVisible(), Scope::Node);
    } else {
        m_selectionNode->SetVisible(false, Scope::Node);
    }
    m_textNode->SetVisible(IsVisible(), Scope::Subtree);
    m_textNode->UpdateWorldTransform();
}

void GUIComponent::UpdateLook()
{
    Look look = Look::Normal;
    if (!IsEnabled()) {
        look = Look::Disabled;
    } else if (m_type == ComponentType::Button && IsPressed()) {
        look = Look::Pressed;
    } else if (m_type == ComponentType::Button && (m_hovered || m_keyFocus)) {
        look = Look::Hover;
    }
    if (look == m_lookState) {
        return;
    }
    m_lookState = look;
    // Multiplied into each node's own colour, so a translucent part of a
    // picture (a veil, a shadow) stays as translucent as its file made it.
    const uint32_t colour = kLookColours[LookIndex(look)];
    for (const auto& [node, own] : m_pictureColours) {
        node->SetColor(MultiplyColours(colour, own));
    }
    if (look == Look::Hover && m_picture && !m_highlight) {
        m_highlight = static_cast<SceneNode*>(m_picture->Clone(Scope::Subtree).Get());
        ForEachNode(*m_highlight, [](SceneNode& node) {
            node.SetMaterial(0, Scope::Node); // additive
            if (node.HasMesh()) {
                node.SetColor(kHighlightColour);
            }
        });
        m_highlight->SetPosition({0, 0, kHighlightZ}, Transform::Later);
        m_highlight->SetScale(m_picture->GetScale().x, m_picture->GetScale().y, Transform::Later);
        m_node->AddChild(HierarchyNodePtr(m_highlight.Get()));
        m_highlight->UpdateWorldTransform();
    }
    if (m_highlight) {
        m_highlight->SetVisible(look == Look::Hover && IsVisible(), Scope::Subtree);
    }
    // A pressed button sinks by a pixel.
    const float sink = look == Look::Pressed ? 1.0f : 0.0f;
    if (m_picture) {
        m_picture->SetPosition({sink, sink, kPictureZ}, Transform::Now);
    }
    if (m_captionNode) {
        m_captionNode->SetPosition({sink, sink, kCaptionZ}, Transform::Now);
        if (look == Look::Disabled) {
            ForEachNode(*m_captionNode, [](SceneNode& node) {
                if (node.HasMesh()) {
                    node.SetColor((node.GetColor() & 0x00FFFFFF) | 0x90000000);
                }
            });
        }
    }
}

void GUIComponent::SetKeyFocus(bool focus)
{
    if (focus == m_keyFocus) {
        return;
    }
    m_keyFocus = focus;
    ShowFocusFrame(focus);
    UpdateLook();
}

void GUIComponent::ShowFocusFrame(bool shown)
{
    if (!m_node) {
        return;
    }
    if (shown && !m_focusFrame) {
        m_focusFrame = MakeIntrusive<SceneNode>();
        m_focusFrame->SetLayer(EffectiveLayer(), Scope::Node);
        m_focusFrame->SetPosition({0, 0, kFocusFrameZ}, Transform::Later);
        const float width = static_cast<float>(m_width) + 2 * kFocusFrameReach;
        const float height = static_cast<float>(m_height) + 2 * kFocusFrameReach;
        const float corner = std::min({kFocusFrameCorner, width * 0.5f, height * 0.5f});
        const float texels[3] = {0, kFocusFrameCorner, kFocusFrameSize - kFocusFrameCorner};
        const float spans[3] = {kFocusFrameCorner, kFocusFrameSize - 2 * kFocusFrameCorner, kFocusFrameCorner};
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column) {
                if (row == 1 && column == 1) {
                    continue; // the button shows through the middle
                }
                const float drawnW = column == 1 ? width - 2 * corner : corner;
                const float drawnH = row == 1 ? height - 2 * corner : corner;
                if (drawnW <= 0 || drawnH <= 0) {
                    continue;
                }
                Mesh mesh(spans[column], spans[row], drawnW, drawnH);
                mesh.textureOffsetX = texels[column];
                mesh.textureOffsetY = texels[row];
                SceneNodePtr piece = MakeIntrusive<SceneNode>();
                piece->SetTexture(kFocusFrameTexture);
                piece->SetMesh(mesh);
                piece->SetLayer(EffectiveLayer(), Scope::Node);
                const float x = column == 0 ? (corner - width) * 0.5f : column == 2 ? (width - corner) * 0.5f : 0;
                const float y = row == 0 ? (corner - height) * 0.5f : row == 2 ? (height - corner) * 0.5f : 0;
                piece->SetPosition({x, y, 0}, Transform::Later);
                m_focusFrame->AddChild(HierarchyNodePtr(piece.Get()));
            }
        }
        m_node->AddChild(HierarchyNodePtr(m_focusFrame.Get()));
        m_focusFrame->UpdateWorldTransform();
    }
    if (m_focusFrame) {
        m_focusFrame->SetVisible(shown && IsVisible(), Scope::Subtree);
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
    if (persistent) {
        ReplacePicture(node);
        return;
    }
    SetLayerOf(*node, EffectiveLayer());
    node->SetPosition({0, 0, kEventNodeZ}, Transform::Later);
    if (node->GetExpiry() == 0) {
        node->SetLifetime(kEventNodeLifetimeMs);
    }
    m_node->AddChild(HierarchyNodePtr(node.Get()));
    node->UpdateWorldTransform();
    if (!IsVisible()) {
        node->SetVisible(false, Scope::Subtree);
    }
}

void GUIComponent::SetPicture(const std::string& texture)
{
    if (!m_node) {
        return;
    }
    SceneNodePtr node;
    if (!texture.empty()) {
        // The whole texture, drawn at the component's size.
        float textureW = static_cast<float>(m_width), textureH = static_cast<float>(m_height);
        FrameLoop& scene = FrameLoop::Instance();
        if (const TextureHandle handle = scene.GetTexture(texture); handle && scene.GetPlatform()) {
            textureW = static_cast<float>(scene.GetPlatform()->TextureGetWidth(handle));
            textureH = static_cast<float>(scene.GetPlatform()->TextureGetHeight(handle));
        }
        node = MakeIntrusive<SceneNode>();
        node->SetMesh(Mesh(textureW, textureH, static_cast<float>(m_width), static_cast<float>(m_height)));
        node->SetTexture(texture);
    }
    ReplacePicture(node);
}

// The picture of the component: replaces the previous one (null just removes it).
void GUIComponent::ReplacePicture(const SceneNodePtr& node)
{
    if (m_picture) {
        m_node->RemoveChild(m_picture.Get(), Detach::Now);
        m_picture.Reset();
    }
    if (m_highlight) {
        m_node->RemoveChild(m_highlight.Get(), Detach::Now);
        m_highlight.Reset();
    }
    m_lookState.reset();
    m_pictureColours.clear();
    if (!node) {
        return;
    }
    SetLayerOf(*node, EffectiveLayer());
    m_picture = node;
    ForEachNode(*node, [this](SceneNode& part) {
        if (part.HasMesh()) {
            m_pictureColours.emplace_back(SceneNodePtr(&part), part.GetColor());
        }
    });
    m_pictureWidth = m_width;
    m_pictureHeight = m_height;
    node->SetPosition({0, 0, kPictureZ}, Transform::Later);
    m_node->AddChild(HierarchyNodePtr(node.Get()));
    node->UpdateWorldTransform();
    if (!IsVisible()) {
        node->SetVisible(false, Scope::Subtree);
    }
}

} // namespace tsv
