// The input half of GUIComponent: the mouse turned into events, hotkeys, and
// the editing keys of an edit box with focus.
#include "engine/gui/guicomponent.h"

#include "engine/core/util/file/textconvert.h"
#include "engine/gui/font.h"
#include "engine/gui/languagemanager.h"
#include "engine/gui/screen.h"
#include "engine/platform/keynames.h"
#include "engine/scene/frameloop.h"

#include <algorithm>

namespace tsv {

namespace {

// Keys the edit box reads.
constexpr int32_t kKeyLShift = KeyCode(KeyId::LShift), kKeyRShift = KeyCode(KeyId::RShift);
constexpr int32_t kKeyBack = KeyCode(KeyId::Back), kKeyDelete = KeyCode(KeyId::Delete);
constexpr int32_t kKeyInsert = KeyCode(KeyId::Insert), kKeyHome = KeyCode(KeyId::Home), kKeyEnd = KeyCode(KeyId::End);
constexpr int32_t kKeyLeft = KeyCode(KeyId::Left), kKeyRight = KeyCode(KeyId::Right);
constexpr int32_t kKeyC = KeyCode(KeyId::C), kKeyX = KeyCode(KeyId::X), kKeyV = KeyCode(KeyId::V);

} // namespace

bool GUIComponent::Contains(float x, float y) const
{
    if (!m_node || m_width <= 0 || m_height <= 0) {
        return false;
    }
    const Vec3& c = m_node->GetWorldPosition();
    const float hw = static_cast<float>(m_width) * 0.5f, hh = static_cast<float>(m_height) * 0.5f;
    return x >= c.x - hw && x < c.x + hw && y >= c.y - hh && y < c.y + hh;
}

void GUIComponent::ProcessInput(const GuiInput& input)
{
    GUIComponentPtr self(this);
    for (size_t i = 0; i < m_children.size(); ++i) {
        GUIComponentPtr child = m_children[i];
        child->ProcessInput(input);
    }
    if (m_inputBlocked) {
        return;
    }
    ProcessMouse(input);
    if (m_type == ComponentType::EditBox && m_hasFocus && m_caretNode) {
        const bool shown = IsVisible();
        if (input.now - m_caretShown > kCaretPeriodMs) {
            m_caretShown = input.now;
            m_caretNode->SetVisible(shown, Scope::Node);
        } else if (input.now - m_caretShown > kCaretShownMs) {
            m_caretNode->SetVisible(false, Scope::Node);
        }
    }
    if (m_hotkey != 0 && input.pressedKey == m_hotkey) {
        FireEvent(GuiEvent::Click, input.x, input.y);
    }
    if (m_type == ComponentType::EditBox && m_hasFocus && IsVisible() && IsEnabled()) {
        ProcessEditing(input);
    }
    UpdateLook();
}

void GUIComponent::ProcessMouse(const GuiInput& input)
{
    const bool inside = Contains(input.x, input.y);
    if (!inside) {
        if (m_hovered) {
            m_hovered = false;
            FireEvent(GuiEvent::MouseOut, input.x, input.y);
        }
    } else {
        if (!m_hovered) {
            m_hovered = true;
            FireEvent(GuiEvent::MouseIn, input.x, input.y);
        }
        if (m_buttonHeld && !input.leftDown) {
            FireEvent(GuiEvent::MouseLeftReleased, input.x, input.y);
            FireEvent(GuiEvent::Click, input.x, input.y);
        }
        if (!m_buttonHeld && input.leftDown) {
            FireEvent(GuiEvent::MouseLeftPressed, input.x, input.y);
            if (m_type == ComponentType::EditBox && IsVisible() && IsEnabled()) {
                if (!m_hasFocus && m_screen) {
                    m_screen->SetFocus(this);
                }
                if (!input.shift) {
                    m_edit.ClearSelection();
                    PlaceCaret(input.x);
                }
                m_edit.AnchorSelection();
                m_selecting = true;
            }
        }
        FireEvent(GuiEvent::MouseMove, input.x, input.y);
    }
    if (m_type == ComponentType::EditBox && m_hasFocus && m_selecting) {
        if (input.leftDown) {
            const size_t before = m_edit.caret;
            PlaceCaret(input.x);
            m_edit.selEnd = static_cast<int64_t>(m_edit.caret);
            if (before != m_edit.caret) {
                LayoutEditText();
            }
        } else {
            m_selecting = false;
            if (!m_edit.HasSelection()) {
                m_edit.ClearSelection();
            }
        }
    }
    m_buttonHeld = input.leftDown;
}

void GUIComponent::PlaceCaret(float x)
{
    const Font* font = CaptionFont(MissingFont::Quiet);
    if (!font || !m_node) {
        return;
    }
    const float scale = m_captionScale > 0 ? m_captionScale : 1.0f;
    const float left = m_node->GetWorldPosition().x - static_cast<float>(m_width) * 0.5f + kEditPadding;
    const float target = (x - left + m_textScroll) / scale;
    // The caret goes to the character boundary nearest the pointer.
    size_t best = 0;
    float pen = 0;
    for (size_t i = 0; i < m_edit.text.size();) {
        const size_t next = i + std::max<size_t>(1, CharLength(m_edit.text, i, m_edit.codePage));
        const float width = font->MeasureLine(m_edit.text, i, next);
        if (target < pen + width * 0.5f) {
            break;
        }
        pen += width;
        best = next;
        i = next;
    }
    m_edit.caret = best;
    m_caretShown = 0;
    LayoutEditText();
}

void GUIComponent::ProcessEditing(const GuiInput& input)
{
    TextEdit& edit = m_edit;
    const int32_t key = input.heldKey;
    const int64_t now = input.now;
    bool changed = false;
    bool moved = false;

    if (!input.ctrl) {
        for (size_t i = 0; i < input.typed.size();) {
            const size_t length = std::max<size_t>(1, CharLength(input.typed, i, edit.codePage));
            changed |= edit.Insert(input.typed.substr(i, length));
            i += length;
        }
    }
    if ((input.pressedKey == kKeyLShift || input.pressedKey == kKeyRShift) && !edit.HasSelection()) {
        edit.AnchorSelection();
    }
    auto copySelection = [&] {
        if (PlatformClipboard* clipboard = FrameLoop::Instance().GetPlatform(); clipboard && edit.HasSelection()) {
            clipboard->ClipboardSetText(ConvertCodePageToUtf8(edit.Selected(), edit.codePage));
        }
    };
    if (input.pressedKey != 0 && input.pressedKey == key) {
        m_repeat = KeyRepeat{}; // a new press acts at once, even of the key just repeated
    }
    auto repeat = [&](int64_t firstDelay) { return m_repeat.Step(key, now, firstDelay, kRepeatMs); };
    if (!input.keyChar.empty() && !input.ctrl) {
        if (repeat(kCharFirstDelayMs)) {
            changed |= edit.Insert(input.keyChar);
        }
    } else if (key == kKeyBack) {
        if (repeat(kEraseFirstDelayMs)) {
            changed |= edit.Backspace();
        }
    } else if (key == kKeyDelete && !input.shift) {
        if (repeat(kEraseFirstDelayMs)) {
            changed |= edit.Delete();
        }
    } else if (key == kKeyLeft || key == kKeyRight) {
        if (repeat(kRepeatMs)) {
            key == kKeyLeft ? edit.Left(input.shift) : edit.Right(input.shift);
            moved = true;
        }
    } else if (key == kKeyHome || key == kKeyEnd) {
        if (repeat(kRepeatMs)) {
            key == kKeyHome ? edit.Home(input.shift) : edit.End(input.shift);
            moved = true;
        }
    } else if ((input.ctrl && (key == kKeyC || key == kKeyInsert))) {
        if (repeat(kRepeatMs)) {
            copySelection();
        }
    } else if ((input.ctrl && key == kKeyX) || (input.shift && key == kKeyDelete)) {
        if (repeat(kRepeatMs)) {
            copySelection();
            changed |= edit.DeleteSelection();
        }
    } else if ((input.ctrl && key == kKeyV) || (input.shift && key == kKeyInsert)) {
        if (repeat(kRepeatMs)) {
            PlatformClipboard* clipboard = FrameLoop::Instance().GetPlatform();
            const std::string utf8 = clipboard ? clipboard->ClipboardGetText() : std::string();
            // Characters the code page cannot hold are left out.
            const std::string pasted = ConvertUtf8CharsToCodePage(utf8, edit.codePage);
            changed |= edit.Paste(pasted);
        }
    } else {
        m_repeat.Step(0, now, 0, 0);
    }
    if (changed) {
        EditChanged();
        FireEvent(GuiEvent::Change, input.x, input.y);
    } else if (moved) {
        EditChanged();
    }
}

} // namespace tsv
