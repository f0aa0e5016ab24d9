// The keyboard's half of Screen: a focus that the arrow keys (and a gamepad,
// which speaks them) move between the buttons, Return and Space pressing it
// and Escape pressing the screen's way back.
#include "engine/gui/focusnavigation.h"
#include "engine/gui/screen.h"
#include "engine/gui/screenstack.h"
#include "engine/platform/keynames.h"
#include "engine/platform/viewfit.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace tsv {

namespace {

struct NavigationKeys {
    int32_t up = KeyCode(KeyId::Up);
    int32_t down = KeyCode(KeyId::Down);
    int32_t left = KeyCode(KeyId::Left);
    int32_t right = KeyCode(KeyId::Right);
    int32_t tab = KeyCode(KeyId::Tab);
    int32_t enter = KeyCode(KeyId::Return);
    int32_t numpadEnter = KeyCode(KeyId::NumpadEnter);
    int32_t space = KeyCode(KeyId::Space);
    int32_t escape = KeyCode(KeyId::Escape);
};

const NavigationKeys& Keys()
{
    static const NavigationKeys s_keys;
    return s_keys;
}

// The mouse has to move further than this (view pixels) to take over from the keys.
constexpr float kMouseStillPixels = 2.0f;

// Shared by every screen on the stack: the next screen shows its focus at
// once when the keys were leading.
ScreenStack::Navigation& Shared() { return ScreenStack::Instance().GetNavigation(); }

FocusSpot SpotOf(const GUIComponent& c)
{
    const Vec3 centre = c.GetWorldPosition();
    return {centre.x, centre.y, static_cast<float>(c.GetWidth()), static_cast<float>(c.GetHeight())};
}

} // namespace

bool Screen::AreKeysInUse() { return Shared().keysInUse; }
void Screen::SetKeysInUse(bool inUse) { Shared().keysInUse = inUse; }

std::vector<GUIComponent*> Screen::FocusableButtons() const
{
    std::vector<GUIComponent*> buttons;
    if (!m_root) {
        return buttons;
    }
    m_root->Walk([&buttons](GUIComponent& c, int) {
        if (c.GetType() != ComponentType::Button || !c.IsVisible() || !c.IsEnabled() || c.IsInputBlocked() ||
            c.GetWidth() <= 0 || c.GetHeight() <= 0) {
            return;
        }
        const Vec3 centre = c.GetWorldPosition();
        if (IsInView(centre.x + kViewWidth / 2.0f, centre.y + kViewHeight / 2.0f)) {
            buttons.push_back(&c);
        }
    });
    return buttons;
}

GUIComponent* Screen::DefaultFocus()
{
    const std::vector<GUIComponent*> buttons = FocusableButtons();
    std::vector<FocusSpot> spots;
    for (const GUIComponent* button : buttons) {
        spots.push_back(SpotOf(*button));
    }
    const int first = MoveFocus(spots, -1, FocusMove::Next);
    return first >= 0 ? buttons[static_cast<size_t>(first)] : nullptr;
}

GUIComponent* Screen::FindUsable(const char* const* names, size_t count) const
{
    for (size_t i = 0; m_root && i < count; ++i) {
        GUIComponent* c = m_root->Find(names[i]);
        if (c && c->GetType() == ComponentType::Button && c->IsVisible() && c->IsEnabled()) {
            return c;
        }
    }
    return nullptr;
}

GUIComponent* Screen::BackButton() { return FindUsable(kBackButtonNames, std::size(kBackButtonNames)); }

bool Screen::HasHotkey(int32_t keyCode) const
{
    bool found = false;
    if (m_root) {
        m_root->Walk([&found, keyCode](GUIComponent& c, int) {
            found = found || (c.GetHotkey() == keyCode && c.IsVisible() && c.IsEnabled() && !c.IsInputBlocked());
        });
    }
    return found;
}

bool Screen::KeyTakenByFocus(int32_t keyCode) const
{
    return std::find(m_takenKeys.begin(), m_takenKeys.end(), keyCode) != m_takenKeys.end();
}

void Screen::SetKeyFocus(GUIComponent* component)
{
    if (m_keyFocus.Get() != component) {
        HideKeyFocus();
        m_keyFocus = component;
    }
    Shared().keysInUse = component != nullptr || Shared().keysInUse;
    m_tabFocus = component != nullptr;
    if (m_keyFocus) {
        m_keyFocus->SetKeyFocus(true);
    }
}

void Screen::HideKeyFocus()
{
    if (m_keyFocus) {
        m_keyFocus->SetKeyFocus(false);
    }
}

void Screen::PressFocus(GUIComponent& button)
{
    GUIComponentPtr hold(&button);
    Shared().keysInUse = true; // pressed from the keys: the next screen shows its focus at once
    if (m_navigation == KeyNavigation::Tab) {
        m_tabFocus = false; // back to the screen's own keys once the button did its work
    }
    const Vec3 centre = button.GetWorldPosition();
    button.FireEvent(GuiEvent::Click, centre.x, centre.y);
}

GuiInput Screen::Navigate(const GuiInput& input)
{
    m_takenKeys.clear();
    // The mouse takes over as soon as it moves or clicks.
    ScreenStack::Navigation& shared = Shared();
    const bool moved = shared.mouseKnown && (std::fabs(input.x - shared.mouseX) > kMouseStillPixels ||
                                             std::fabs(input.y - shared.mouseY) > kMouseStillPixels);
    if (moved || (input.leftDown && !shared.mouseDown)) {
        shared.keysInUse = false;
    }
    shared.mouseKnown = true;
    shared.mouseX = input.x;
    shared.mouseY = input.y;
    shared.mouseDown = input.leftDown;

    const std::vector<GUIComponent*> buttons = FocusableButtons();
    std::vector<FocusSpot> spots;
    for (const GUIComponent* button : buttons) {
        spots.push_back(SpotOf(*button));
    }
    if (m_keyFocus && std::find(buttons.begin(), buttons.end(), m_keyFocus.Get()) == buttons.end()) {
        HideKeyFocus(); // hidden or disabled since
        m_keyFocus.Reset();
    }
    if (!Shared().keysInUse) {
        m_tabFocus = false;
    } else if (!m_keyFocus && m_navigation == KeyNavigation::Arrows) {
        m_keyFocus = DefaultFocus(); // a screen opened from the keys shows its focus at once
    }
    GuiInput out = input;
    const NavigationKeys& k = Keys();
    const int32_t key = input.pressedKey;
    GUIComponent* edit = GetFocus();
    if (edit && !(edit->IsVisible() && edit->IsEnabled())) {
        edit = nullptr;
    }
    const bool tabMode = m_navigation == KeyNavigation::Tab;
    // Whether the arrows, Return, Space and Escape work the buttons now.
    const bool ours = m_navigation == KeyNavigation::Arrows || (tabMode && m_tabFocus);
    auto take = [&] {
        m_takenKeys.push_back(key);
        out.pressedKey = 0;
    };
    auto start = [&] {
        Shared().keysInUse = true;
        m_tabFocus = true;
        if (!m_keyFocus) {
            m_keyFocus = DefaultFocus();
        }
    };
    auto step = [&](FocusMove move) {
        const auto at = std::find(buttons.begin(), buttons.end(), m_keyFocus.Get());
        const int current = at == buttons.end() ? -1 : static_cast<int>(at - buttons.begin());
        const int next = MoveFocus(spots, current, move);
        if (next >= 0 && buttons[static_cast<size_t>(next)] != m_keyFocus.Get()) {
            HideKeyFocus();
            m_keyFocus = buttons[static_cast<size_t>(next)];
        }
    };
    const bool arrow = key == k.up || key == k.down || key == k.left || key == k.right;
    const bool press = key == k.enter || key == k.numpadEnter || (key == k.space && !edit);
    if (m_navigation == KeyNavigation::None || key == 0) {
        // nothing to do with the keys
    } else if (arrow && ours && !(edit && (key == k.left || key == k.right))) {
        // In an edit box Left and Right move the caret; Up and Down leave it for the buttons.
        if (!buttons.empty()) {
            if (!Shared().keysInUse || !m_keyFocus) {
                start();
            } else {
                step(key == k.up ? FocusMove::Up
                     : key == k.down ? FocusMove::Down
                     : key == k.left ? FocusMove::Left
                                     : FocusMove::Right);
            }
        }
        take();
    } else if (key == k.tab && input.keyChar.empty() && tabMode) {
        // Tab walks the buttons; past the last it hands the keys back to the screen.
        if (!m_tabFocus || !Shared().keysInUse || !m_keyFocus) {
            start();
        } else if (!buttons.empty() && m_keyFocus.Get() == buttons[ReadingOrder(spots).back()]) {
            m_tabFocus = false;
        } else {
            step(FocusMove::Next);
        }
        take();
    } else if (press && ours) {
        if (Shared().keysInUse && m_keyFocus) {
            take();
            PressFocus(*m_keyFocus);
        } else if (HasHotkey(key)) {
            Shared().keysInUse = true; // its own button takes it, as it always has; the next screen shows its focus
        } else if (GUIComponent* yes = edit && key != k.space
                                           ? FindUsable(kDefaultButtonNames, std::size(kDefaultButtonNames))
                                           : nullptr) {
            take();
            PressFocus(*yes);
        } else if (!buttons.empty()) {
            start(); // the first press shows where the focus is
            take();
        }
    } else if (key == k.escape && ours) {
        if (tabMode) {
            m_tabFocus = false;
            take();
        } else if (!HasHotkey(key)) {
            if (GUIComponent* back = BackButton()) {
                take();
                PressFocus(*back);
            }
        } else {
            Shared().keysInUse = true;
        }
    }
    if (m_keyFocus) {
        m_keyFocus->SetKeyFocus(Shared().keysInUse && (!tabMode || m_tabFocus));
    }
    return out;
}

} // namespace tsv
