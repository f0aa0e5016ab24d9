#include "game/screens/hintbox.h"

#include "engine/gui/languagemanager.h"
#include "engine/gui/screenstack.h"
#include "engine/platform/keynames.h"
#include "engine/runtime/application.h"
#include "engine/scene/inputmanager.h"
#include "engine/scene/scenemanager.h"

#include <algorithm>

namespace bsh {

namespace {
constexpr float kMargin = 14.0f;
constexpr uint32_t kTextColour = 0xFFF8ECC8;
constexpr uint32_t kPlateColour = 0xE0102436;
constexpr uint32_t kRimColour = 0xFFD8A548;
// The box's corner may come this close to the view's right and bottom edges.
constexpr float kRightLimit = 390.0f;
constexpr float kBottomLimit = 290.0f;

tsv::SceneNodePtr Rect(float w, float h, uint32_t colour, float z)
{
    tsv::SceneNodePtr node = tsv::MakeIntrusive<tsv::SceneNode>();
    node->SetMesh(tsv::Mesh(w, h));
    node->SetColor(colour);
    node->SetPosition({0, 0, z}, false);
    return node;
}
} // namespace

HintBox::HintBox() { SetName("hintbox"); }

HintBox::~HintBox()
{
    if (m_frame) {
        m_frame->Expire();
    }
    if (m_pausedClock) {
        tsv::Application::Instance().GetTimer().SetRunning(true);
    }
}

int64_t HintBox::SystemNow() const { return tsv::Application::Instance().GetSystemTimer().GetTime(); }

void HintBox::Place(float width, const std::string& key, float x, float y)
{
    m_width = std::max(width, kMinWidth);
    m_key = key;
    m_x = x;
    m_y = y;
    m_placedAt = SystemNow();
    Build();
}

HintBox::Layout HintBox::Lay(const tsv::Font* font, const std::string& text, float width, tsv::LanguageId language)
{
    Layout layout;
    if (font) {
        layout.lineHeight = font->MeasureText("Ag").y * kTextScale;
        const std::string wrapped = font->WrapText(text, width / kTextScale, tsv::BreaksBetweenAnyCharacters(language));
        size_t start = 0;
        for (size_t end; (end = wrapped.find('\n', start)) != std::string::npos; start = end + 1) {
            layout.lines.push_back(wrapped.substr(start, end - start));
        }
        layout.lines.push_back(wrapped.substr(start));
    }
    layout.width = width + 2 * kMargin;
    layout.height = layout.lineHeight * static_cast<float>(std::max<size_t>(layout.lines.size(), 1)) + 2 * kMargin;
    return layout;
}

void HintBox::Build()
{
    if (m_frame) {
        m_frame->Expire();
    }
    const tsv::LanguageManager& language = tsv::LanguageManager::Instance();
    const tsv::Font* font = language.GetFont(0);
    const Layout layout = Lay(font, language.GetText("$" + m_key), m_width, language.GetCurrent());
    const float w = layout.width;
    const float h = layout.height;
    // Stay inside the view: left/top by the box's own size too.
    const float left = std::clamp(m_x - w * 0.5f, -390.0f, kRightLimit - w);
    const float top = std::clamp(m_y, -290.0f, kBottomLimit - h);

    m_frame = tsv::MakeIntrusive<tsv::SceneNode>();
    m_frame->SetPosition({left + w * 0.5f, top + h * 0.5f, 0}, false);
    m_frame->AddChild(Rect(w + 4, h + 4, kRimColour, 0.2f));
    m_frame->AddChild(Rect(w, h, kPlateColour, 0.1f));
    if (font) {
        for (size_t i = 0; i < layout.lines.size(); ++i) {
            tsv::SceneNodePtr row = tsv::MakeIntrusive<tsv::SceneNode>();
            font->LayText(layout.lines[i], *row, kTextColour);
            row->SetScale(kTextScale, kTextScale, false);
            const float y = -h * 0.5f + kMargin + layout.lineHeight * static_cast<float>(i);
            row->SetPosition({-w * 0.5f + kMargin, y, 0}, false);
            m_frame->AddChild(row);
        }
    }
    m_frame->SetTimer(tsv::IntrusivePtr<tsv::Timer>(&tsv::Application::Instance().GetSystemTimer()), true, true);
    m_frame->SetLayer(kLayer, true);
    m_frame->UpdateWorldTransform();
    tsv::SceneManager::Instance().AddNode(m_frame, true, true);
}

bool HintBox::IsClosable() const { return !m_closed && SystemNow() - m_placedAt >= kClosableAfterMs; }

bool HintBox::Dismiss()
{
    if (!IsClosable()) {
        return false;
    }
    m_closed = true;
    if (m_frame) {
        m_frame->Expire();
        m_frame = nullptr;
    }
    if (m_pausedClock) {
        tsv::Application::Instance().GetTimer().SetRunning(true);
        m_pausedClock = false;
    }
    if (tsv::ScreenStack::Instance().Contains(this)) {
        tsv::ScreenStack::Instance().Remove(this);
    }
    return true;
}

void HintBox::OnRemove()
{
    if (m_frame) {
        m_frame->Expire();
        m_frame = nullptr;
    }
    if (m_pausedClock) {
        tsv::Application::Instance().GetTimer().SetRunning(true);
        m_pausedClock = false;
    }
    m_closed = true;
    Screen::OnRemove();
}

void HintBox::Run()
{
    if (m_closed) {
        return;
    }
    const int64_t now = SystemNow();
    tsv::Timer& game = tsv::Application::Instance().GetTimer();
    if (!m_pausedClock && now - m_placedAt > kPauseAfterMs && game.IsRunning()) {
        game.SetRunning(false);
        m_pausedClock = true;
    }
    tsv::InputManager& input = tsv::InputManager::Instance();
    bool pressed = input.WasButtonPressed();
    static const int kKeys[] = {tsv::KeyCodeFromName("KEY_ESCAPE"), tsv::KeyCodeFromName("KEY_SPACE"),
                                tsv::KeyCodeFromName("KEY_RETURN")};
    for (int key : input.GetPressedKeys()) {
        pressed = pressed || std::find(std::begin(kKeys), std::end(kKeys), key) != std::end(kKeys);
    }
    const auto& screens = tsv::ScreenStack::Instance().GetScreens();
    if (pressed && !screens.empty() && screens.back().Get() == this) {
        Dismiss();
    }
}

} // namespace bsh
