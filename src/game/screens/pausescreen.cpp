#include "game/screens/pausescreen.h"

#include "engine/gui/languagemanager.h"
#include "engine/gui/screenstack.h"
#include "engine/platform/keynames.h"
#include "engine/runtime/application.h"
#include "engine/scene/inputmanager.h"
#include "engine/scene/frameloop.h"

#include <algorithm>

namespace bsh {

namespace {
constexpr uint32_t kTitleColour = 0xFFF8ECC8;
constexpr uint32_t kLineColour = 0xFFB8C8D8;
// The widest a line may be; a longer one is drawn smaller.
constexpr float kMaxLineWidth = 760.0f;
} // namespace

PauseScreen::PauseScreen() { SetName("pause"); }

PauseScreen::~PauseScreen()
{
    if (m_overlay) {
        m_overlay->Expire();
    }
    if (m_stoppedClock) {
        tsv::Application::Instance().GetTimer().SetRunning(true);
    }
}

int64_t PauseScreen::SystemNow() const { return tsv::Application::Instance().GetSystemTimer().GetTime(); }

bool PauseScreen::OnAdd()
{
    tsv::Timer& game = tsv::Application::Instance().GetTimer();
    if (game.IsRunning()) {
        game.SetRunning(false);
        m_stoppedClock = true;
    }
    m_openedAt = SystemNow();

    // Opaque: a paused board cannot be studied.
    m_overlay = tsv::MakeIntrusive<tsv::SceneNode>();
    m_overlay->SetMesh(tsv::Mesh(16, 16, 800, 600)); // the 16-pixel texture stretched over the view
    m_overlay->SetTexture("/texture/effect/black.png");
    m_overlay->SetColor(0xFF000000);
    const tsv::LanguageManager& language = tsv::LanguageManager::Instance();
    const auto addText = [&](int font, const std::string& key, uint32_t colour, float y, float largest) {
        const tsv::Font* f = language.GetFont(font);
        if (!f) {
            return;
        }
        const std::string text = language.GetText(key);
        const tsv::Vec2 size = f->MeasureText(text);
        const float scale = std::min(largest, kMaxLineWidth / std::max(size.x, 1.0f));
        tsv::SceneNodePtr node = tsv::MakeIntrusive<tsv::SceneNode>();
        f->LayText(text, *node, colour);
        node->SetScale(scale, scale, tsv::Transform::Later);
        node->SetPosition({-size.x * scale * 0.5f, y - size.y * scale * 0.5f, -0.1f}, tsv::Transform::Later);
        m_overlay->AddChild(node);
    };
    addText(0, "$gamePaused", kTitleColour, -20.0f, 1.4f);
    addText(1, "$pauseResume", kLineColour, 40.0f, 1.0f);
    m_overlay->SetTimer(tsv::IntrusivePtr<tsv::Timer>(&tsv::Application::Instance().GetSystemTimer()),
                        tsv::Scope::Subtree, tsv::Reassign::Quiet);
    m_overlay->SetLayer(kLayer, tsv::Scope::Subtree);
    m_overlay->UpdateWorldTransform();
    tsv::Scene::Instance().AddNode(m_overlay, tsv::Scope::Subtree, tsv::Attach::Now);
    return Screen::OnAdd();
}

void PauseScreen::OnRemove()
{
    if (m_overlay) {
        m_overlay->Expire();
        m_overlay = nullptr;
    }
    if (m_stoppedClock) {
        tsv::Application::Instance().GetTimer().SetRunning(true);
        m_stoppedClock = false;
    }
    Screen::OnRemove();
}

void PauseScreen::Run()
{
    const int64_t now = SystemNow();
    if (m_fadeStart != 0) {
        if (now - m_fadeStart >= kFadeMs) {
            tsv::ScreenStack::Instance().Remove(this);
        }
        return;
    }
    tsv::InputManager& input = tsv::InputManager::Instance();
    bool pressed = input.WasButtonPressed();
    static const int kKeys[] = {tsv::KeyCode(tsv::KeyId::Escape), tsv::KeyCode(tsv::KeyId::Return),
                                tsv::KeyCode(tsv::KeyId::Space), tsv::KeyCode(tsv::KeyId::P),
                                tsv::KeyCode(tsv::KeyId::Pause)};
    for (int key : input.GetPressedKeys()) {
        pressed = pressed || std::find(std::begin(kKeys), std::end(kKeys), key) != std::end(kKeys);
    }
    if (pressed && now - m_openedAt >= kMinShowMs) {
        m_fadeStart = now;
        m_overlay->SetAlphaFade(true, now, now + kFadeMs, 255, 0);
    }
}

} // namespace bsh
