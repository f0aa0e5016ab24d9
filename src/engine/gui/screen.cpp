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
#include "engine/scene/frameloop.h"

#include <algorithm>

namespace tsv {

namespace {

constexpr int32_t kKeyTab = KeyCode(KeyId::Tab);
constexpr int32_t kKeyLControl = KeyCode(KeyId::LControl), kKeyRControl = KeyCode(KeyId::RControl);
constexpr int32_t kKeyLShift = KeyCode(KeyId::LShift), kKeyRShift = KeyCode(KeyId::RShift);
constexpr int64_t kOpenMs = 150;
constexpr uint32_t kHintBackColour = 0xE0201810;
constexpr uint32_t kHintBorderColour = 0xFFD8B060;
constexpr uint32_t kHintTextColour = 0xFFFFF4D8;
constexpr float kHintPadding = 8;
constexpr float kHintMaxWidth = 300;
constexpr float kHintMargin = 4; // between a hint's border and the view's edge

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
    IntrusivePtr<XMLElement> document = loader->Execute(XMLLoader::Into::Replace, XMLLoader::OnError::Fail, 0);
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
            if (m_opensOverStack) {
                // A dialog over another dialog of its layer would mix with it.
                const auto& screens = ScreenStack::Instance().GetScreens();
                if (!screens.empty() && screens.back()->GetLayer() >= m_layer) {
                    m_layer = screens.back()->GetLayer() + 1;
                }
            }
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
    m_root->GetNode()->SetVisible(false, Scope::Node);
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

bool Screen::SetHandler(const std::string& name, GuiEvent event, GUIComponent::Handler handler)
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
    if (m_root && FrameLoop::Instance().IsInitialised()) {
        Scene::Instance().AddNode(HierarchyNodePtr(m_root->GetNode().Get()), Scope::Subtree, Attach::Now);
    }
    return true;
}

void Screen::OnRemove()
{
    HideHint();
    if (m_root && m_root->GetNode()->IsAttached()) {
        Scene::Instance().RemoveNode(HierarchyNodePtr(m_root->GetNode().Get()),
                                            Scope::Subtree, Detach::Now, Rejoin::Never);
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
            node.SetVisible(m_root->GetOwnVisible(), Scope::Node);
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
    m_root->FireEvent(GuiEvent::Destroy, -10000, -10000);
}

void Screen::SimulateInput(float x, float y, bool leftDown)
{
    m_simulated = true;
    m_simX = x;
    m_simY = y;
    m_simDown = leftDown;
}

std::vector<GuiInput> Screen::CollectInput(int64_t now)
{
    InputManager& devices = InputManager::Instance();
    GuiInput base;
    base.now = now;
    base.ctrl = devices.IsKeyDown(kKeyLControl) || devices.IsKeyDown(kKeyRControl);
    base.shift = devices.IsKeyDown(kKeyLShift) || devices.IsKeyDown(kKeyRShift);
    if (m_simulated) {
        m_simulated = false;
        base.x = m_simX - 400;
        base.y = m_simY - 300;
        base.leftDown = m_simDown;
        return {base};
    }
    const uint32_t codePage = LanguageManager::Instance().GetCodePage();
    std::vector<GuiInput> inputs;
    bool leftDown = m_leftDown;
    const std::vector<InputEvent>& events = devices.GetEvents();
    for (size_t i = 0; i < events.size(); ++i) {
        const InputEvent& event = events[i];
        GuiInput input = base;
        input.x = event.x - 400;
        input.y = event.y - 300;
        switch (event.type) {
        case InputEvent::EType::ButtonDown:
        case InputEvent::EType::ButtonUp:
            if (event.key != kMouseLeft) {
                continue;
            }
            leftDown = event.type == InputEvent::EType::ButtonDown;
            break;
        case InputEvent::EType::KeyPress: {
            // The key is the one held for repeats; the text that came right
            // after it is what it typed.
            m_heldKey = event.key;
            m_heldChar.clear();
            input.pressedKey = event.key;
            if (i + 1 < events.size() && events[i + 1].type == InputEvent::EType::Text) {
                std::string typed = ConvertUtf8CharsToCodePage(events[++i].text, codePage);
                const size_t length = std::min(typed.size(), std::max<size_t>(1, CharLength(typed, 0, codePage)));
                m_heldChar = typed.substr(0, length);
                input.typed = typed.substr(length);
            }
            break;
        }
        case InputEvent::EType::Text:
            input.typed = ConvertUtf8CharsToCodePage(event.text, codePage);
            break;
        }
        input.leftDown = leftDown;
        input.heldKey = m_heldKey;
        input.keyChar = m_heldChar;
        inputs.push_back(std::move(input));
    }
    if (m_heldKey != 0 && !devices.IsKeyDown(m_heldKey)) {
        m_heldKey = 0;
        m_heldChar.clear();
    }
    GuiInput now_ = base;
    now_.x = devices.GetMouseX() - 400;
    now_.y = devices.GetMouseY() - 300;
    now_.leftDown = devices.IsLeftButtonDown();
    now_.heldKey = m_heldKey;
    now_.keyChar = m_heldChar;
    inputs.push_back(std::move(now_));
    m_leftDown = inputs.back().leftDown;
    return inputs;
}

void Screen::ProcessInput()
{
    if (!m_shown || !m_root) {
        return;
    }
    const int64_t now = Now();
    const bool eventful = !InputManager::Instance().GetEvents().empty();
    if (now - m_lastInput <= kInputIntervalMs && !eventful) {
        return;
    }
    m_lastInput = now;
    m_takenKeys.clear();
    std::vector<GuiInput> inputs = CollectInput(now);
    if (ScreenStack::Instance().GetInputScreen() != this) {
        HideKeyFocus();
        HideHint();
        return;
    }
    // The keys move the focus of the newest screen only: not that of a HUD
    // under its pause or a tutorial text.
    const std::vector<ScreenPtr>& screens = ScreenStack::Instance().GetScreens();
    const bool navigate = !screens.empty() && screens.back().Get() == this;
    if (!navigate) {
        HideKeyFocus();
    }
    ScreenPtr self(this);
    for (GuiInput& input : inputs) {
        input.navigate = navigate;
        DeliverInput(input);
        // What came after a press that closed this screen or opened one
        // over it is not this screen's.
        if (m_closing || ScreenStack::Instance().GetInputScreen() != this) {
            break;
        }
    }
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
        if (c.GetType() == ComponentType::EditBox && c.IsVisible() && c.IsEnabled()) {
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
        if (c.GetType() == ComponentType::EditBox && c.HasFocus() && &c != component) {
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
            if (!focus && c.GetType() == ComponentType::EditBox && c.HasFocus()) {
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
            Scene::Instance().RemoveNode(HierarchyNodePtr(m_hintNode.Get()),
                                                Scope::Subtree, Detach::Now, Rejoin::Never);
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
    // Below the pointer's picture and right of its tip, kept inside the view
    // with its border and a margin.
    const float halfW = w * 0.5f + 1 + kHintMargin, halfH = h * 0.5f + 1 + kHintMargin;
    const float x = std::clamp(input.x + 8 + w * 0.5f, -400 + halfW, 400 - halfW);
    float y = input.y + 46 + h * 0.5f;
    if (y + halfH > 300) {
        y = input.y - 12 - h * 0.5f;
    }
    y = std::clamp(y, -300 + halfH, 300 - halfH);
    m_hintNode = MakeIntrusive<SceneNode>();
    m_hintNode->SetLayer(kHintLayer, Scope::Node);
    m_hintNode->SetPosition({x, y, 0}, Transform::Later);
    SceneNodePtr border = MakeIntrusive<SceneNode>();
    border->SetMesh(Mesh(w + 2, h + 2));
    border->SetColor(kHintBorderColour);
    SceneNodePtr back = MakeIntrusive<SceneNode>();
    back->SetMesh(Mesh(w, h));
    back->SetColor(kHintBackColour);
    back->SetPosition({0, 0, -0.1f}, Transform::Later);
    SceneNodePtr textNode = MakeIntrusive<SceneNode>();
    textNode->SetPosition({-size.x * 0.5f, -size.y * 0.5f, -0.2f}, Transform::Later);
    for (const SceneNodePtr& node : {border, back, textNode}) {
        node->SetLayer(kHintLayer, Scope::Node);
        m_hintNode->AddChild(HierarchyNodePtr(node.Get()));
    }
    font->LayText(text, *textNode, kHintTextColour);
    m_hintNode->UpdateWorldTransform();
    if (FrameLoop::Instance().IsInitialised()) {
        Scene::Instance().AddNode(HierarchyNodePtr(m_hintNode.Get()), Scope::Subtree, Attach::Now);
    }
}

} // namespace tsv
