#include "engine/gui/screen.h"

#include "engine/core/log.h"
#include "engine/core/util/file/resourcepath.h"
#include "engine/core/util/file/textconvert.h"
#include "engine/core/util/xml/xmlloader.h"
#include "engine/gui/languagemanager.h"
#include "engine/gui/screenstack.h"
#include "engine/platform/keynames.h"
#include "engine/runtime/application.h"
#include "engine/scene/inputmanager.h"
#include "engine/scene/scenemanager.h"

#include <algorithm>

namespace tsv {

namespace {

constexpr int32_t kKeyTab = 15, kKeyLControl = 29, kKeyRControl = 108, kKeyLShift = 42, kKeyRShift = 54;
constexpr int64_t kOpenMs = 150;
constexpr uint32_t kHintBackColour = 0xE0201810;
constexpr uint32_t kHintBorderColour = 0xFFD8B060;
constexpr uint32_t kHintTextColour = 0xFFFFF4D8;
constexpr float kHintPadding = 8;
constexpr float kHintMaxWidth = 300;

int64_t Now() { return Application::Instance().GetSystemTimer().GetTime(); }

} // namespace

Screen::Screen() = default;

Screen::~Screen()
{
    if (m_hintNode) {
        m_hintNode->Clear();
    }
}

bool Screen::LoadScreenFile(const std::string& path)
{
    m_path = path;
    m_eastAsian = tsv::IsEastAsian(LanguageManager::Instance().GetCurrent());
    IntrusivePtr<XMLLoader> loader(new XMLLoader(ResolveResourcePath(path)));
    IntrusivePtr<XMLElement> document = loader->Execute(true, false, 0);
    IntrusivePtr<XMLElement> top;
    if (document && !document->Children().empty()) {
        top = document->Children().front().second;
    }
    if (!top || top->GetName() != "screen") {
        GetLog() << Error << path << ": root tag <screen> not found" << EndL;
        return false;
    }
    for (const auto& [tag, child] : top->Children()) {
        if (tag == "name") {
            m_name = child->GetText();
        } else if (tag == "layer") {
            m_layer = ParseInt(child->GetText());
        } else if (tag == "rootcomponent" && !m_rootLoaded) {
            GUIComponentPtr root(new GUIComponent(this, nullptr));
            if (root->Load(*child)) {
                m_root = root;
                m_rootLoaded = true;
            }
        }
    }
    if (!m_rootLoaded) {
        GetLog() << Warning << path << ": incorrect format" << EndL;
        return false;
    }
    m_root->GetNode()->SetVisible(false, false);
    GetLog() << Hint << "Loaded: " << path << EndL;
    return true;
}

GUIComponent* Screen::FindComponent(const std::string& name)
{
    GUIComponent* found = m_root ? m_root->Find(name) : nullptr;
    if (!found) {
        GetLog() << Warning << m_path << ": component not found: " << name << EndL;
    }
    return found;
}

bool Screen::SetHandler(const std::string& name, int32_t event, GUIComponent::Handler handler)
{
    GUIComponent* component = m_root ? m_root->Find(name) : nullptr;
    if (!component) {
        GetLog() << Warning << m_path << ": cannot set handler to component <" << name << ">" << EndL;
        return false;
    }
    component->SetHandler(event, std::move(handler));
    return true;
}

bool Screen::OnAdd()
{
    m_lastFrame = Now();
    if (m_root && SceneManager::Instance().IsInitialised()) {
        SceneManager::Instance().AddNode(HierarchyNodePtr(m_root->GetNode().Get()), true, true);
    }
    return true;
}

void Screen::OnRemove()
{
    HideHint();
    if (m_root && m_root->GetNode()->IsAttached()) {
        SceneManager::Instance().RemoveNode(HierarchyNodePtr(m_root->GetNode().Get()), true, true, false);
    }
}

void Screen::Run()
{
    ScreenPtr self(this); // the on-closed callback may drop the last other reference
    const int64_t now = Now();
    if (m_rootLoaded) {
        if (!m_shown) {
            m_shown = true;
            SceneNode& node = *m_root->GetNode();
            node.SetVisible(m_root->GetOwnVisible(), false);
            node.SetAlphaFade(true, now, now + kOpenMs, 0, 255);
            OnShown();
        }
        ProcessInput();
        if (!m_root->GetNode()->IsAlive()) {
            HideHint();
            if (!ScreenStack::Instance().Remove(this)) {
                Kill();
            }
            if (m_onClosed) {
                ClosedCallback callback = std::move(m_onClosed);
                callback(*this);
            }
        }
    }
    m_activeTime += now - m_lastFrame;
    m_lastFrame = now;
}

void Screen::Close()
{
    if (!m_root || m_closing) {
        return;
    }
    m_closing = true;
    HideHint();
    m_root->FireEvent(EventDestroy, -10000, -10000);
}

void Screen::SimulateInput(float x, float y, bool leftDown)
{
    m_simulated = true;
    m_simX = x;
    m_simY = y;
    m_simDown = leftDown;
}

GuiInput Screen::CollectInput(int64_t now)
{
    InputManager& devices = InputManager::Instance();
    GuiInput input;
    input.now = now;
    if (m_simulated) {
        m_simulated = false;
        input.x = m_simX - 400;
        input.y = m_simY - 300;
        input.leftDown = m_simDown;
    } else {
        input.x = devices.GetMouseX() - 400;
        input.y = devices.GetMouseY() - 300;
        input.leftDown = devices.IsLeftButtonDown();
    }
    input.ctrl = devices.IsKeyDown(kKeyLControl) || devices.IsKeyDown(kKeyRControl);
    input.shift = devices.IsKeyDown(kKeyLShift) || devices.IsKeyDown(kKeyRShift);
    const uint32_t codePage = LanguageManager::Instance().GetCodePage();
    std::string typed = ConvertUtf8CharsToCodePage(devices.GetTypedText(), codePage);
    const std::vector<int>& pressed = devices.GetPressedKeys();
    if (!pressed.empty()) {
        // The newest key is the one held for repeats; the text it typed goes with it.
        input.pressedKey = pressed.back();
        m_heldKey = pressed.back();
        m_heldChar.clear();
        if (!typed.empty()) {
            const size_t length = std::max<size_t>(1, CharLength(typed, 0, codePage));
            m_heldChar = typed.substr(0, length);
            typed.erase(0, length);
        }
    } else if (m_heldKey != 0 && !devices.IsKeyDown(m_heldKey)) {
        m_heldKey = 0;
        m_heldChar.clear();
    }
    input.heldKey = m_heldKey;
    input.keyChar = m_heldChar;
    input.typed = typed;
    return input;
}

void Screen::ProcessInput()
{
    if (!m_shown || !m_root) {
        return;
    }
    const int64_t now = Now();
    if (now - m_lastInput <= kInputIntervalMs) {
        return;
    }
    m_lastInput = now;
    m_takenKeys.clear();
    GuiInput input = CollectInput(now);
    if (ScreenStack::Instance().GetInputScreen() != this) {
        HideKeyFocus();
        return;
    }
    // The keys move the focus of the newest screen only: not that of a HUD
    // under its pause or a tutorial text.
    const std::vector<ScreenPtr>& screens = ScreenStack::Instance().GetScreens();
    input.navigate = !screens.empty() && screens.back().Get() == this;
    if (!input.navigate) {
        HideKeyFocus();
    }
    DeliverInput(input);
}

void Screen::DeliverInput(const GuiInput& given)
{
    if (!m_root) {
        return;
    }
    ScreenPtr self(this);
    const GuiInput input = given.navigate ? Navigate(given) : given;
    if (input.pressedKey == kKeyTab && input.keyChar.empty()) {
        FocusNext();
    }
    m_root->ProcessInput(input);
    UpdateHint(input);
}

void Screen::FocusNext()
{
    if (!m_root) {
        return;
    }
    std::vector<GUIComponent*> boxes;
    m_root->Walk([&boxes](GUIComponent& c, int) {
        if (c.GetType() == ComponentEditBox && c.IsVisible() && c.IsEnabled()) {
            boxes.push_back(&c);
        }
    });
    if (boxes.empty()) {
        return;
    }
    GUIComponent* current = GetFocus();
    auto it = std::find(boxes.begin(), boxes.end(), current);
    GUIComponent* next = (it == boxes.end() || it + 1 == boxes.end()) ? boxes.front() : *(it + 1);
    SetFocus(next);
}

void Screen::SetFocus(GUIComponent* component)
{
    if (!m_root) {
        return;
    }
    m_root->Walk([component](GUIComponent& c, int) {
        if (c.GetType() == ComponentEditBox && c.HasFocus() && &c != component) {
            c.SetFocus(false);
        }
    });
    if (component) {
        component->SetFocus(true);
    }
}

GUIComponent* Screen::GetFocus() const
{
    GUIComponent* focus = nullptr;
    if (m_root) {
        m_root->Walk([&focus](GUIComponent& c, int) {
            if (!focus && c.GetType() == ComponentEditBox && c.HasFocus()) {
                focus = &c;
            }
        });
    }
    return focus;
}

// --- The hint pop-up ---------------------------------------------------------------

void Screen::HideHint()
{
    if (m_hintNode) {
        if (m_hintNode->IsAttached()) {
            SceneManager::Instance().RemoveNode(HierarchyNodePtr(m_hintNode.Get()), true, true, false);
        }
        m_hintNode->Clear();
        m_hintNode.Reset();
    }
}

void Screen::UpdateHint(const GuiInput& input)
{
    // The deepest hovered component with a hint is the one the pointer rests on.
    GUIComponent* target = nullptr;
    m_root->Walk([&target](GUIComponent& c, int) {
        if (c.IsHovered() && !c.GetHint().empty() && c.IsVisible() && (c.IsEnabled() || c.GetForceHint())) {
            target = &c;
        }
    });
    const bool moved = input.x != m_hintX || input.y != m_hintY;
    if (target != m_hintTarget || (moved && !m_hintNode) || input.leftDown) {
        if (target != m_hintTarget || input.leftDown) {
            HideHint();
        }
        m_hintTarget = target;
        m_hintRestStart = input.now;
    }
    m_hintX = input.x;
    m_hintY = input.y;
    if (!target || m_hintNode || input.leftDown) {
        return;
    }
    const int64_t delay = target->GetForceHint() ? 0 : kHintDelayMs;
    if (input.now - m_hintRestStart < delay) {
        return;
    }
    const Font* font = LanguageManager::Instance().GetFont(1);
    if (!font) {
        return;
    }
    const std::string text = font->WrapText(target->GetHint(), kHintMaxWidth,
                                            BreaksBetweenAnyCharacters(LanguageManager::Instance().GetCurrent()));
    const Vec2 size = font->MeasureText(text);
    const float w = size.x + 2 * kHintPadding, h = size.y + 2 * kHintPadding;
    // Below the pointer's picture and right of its tip, kept inside the view.
    float x = std::clamp(input.x + 8 + w * 0.5f, -400 + w * 0.5f, 400 - w * 0.5f);
    float y = input.y + 46 + h * 0.5f;
    if (y + h * 0.5f > 300) {
        y = input.y - 12 - h * 0.5f;
    }
    m_hintNode = MakeIntrusive<SceneNode>();
    m_hintNode->SetLayer(kHintLayer, false);
    m_hintNode->SetPosition({x, y, 0}, false);
    SceneNodePtr border = MakeIntrusive<SceneNode>();
    border->SetMesh(Mesh(w + 2, h + 2));
    border->SetColor(kHintBorderColour);
    SceneNodePtr back = MakeIntrusive<SceneNode>();
    back->SetMesh(Mesh(w, h));
    back->SetColor(kHintBackColour);
    back->SetPosition({0, 0, -0.1f}, false);
    SceneNodePtr textNode = MakeIntrusive<SceneNode>();
    textNode->SetPosition({-size.x * 0.5f, -size.y * 0.5f, -0.2f}, false);
    for (const SceneNodePtr& node : {border, back, textNode}) {
        node->SetLayer(kHintLayer, false);
        m_hintNode->AddChild(HierarchyNodePtr(node.Get()));
    }
    font->LayText(text, *textNode, kHintTextColour);
    m_hintNode->UpdateWorldTransform();
    if (SceneManager::Instance().IsInitialised()) {
        SceneManager::Instance().AddNode(HierarchyNodePtr(m_hintNode.Get()), true, true);
    }
}

} // namespace tsv
