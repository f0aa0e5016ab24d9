#include "engine/gui/fadescreen.h"

#include "engine/gui/screenstack.h"
#include "engine/runtime/application.h"
#include "engine/scene/frameloop.h"

namespace tsv {

namespace {

constexpr const char* kBlackTexture = "/texture/effect/black.png";

Keyframe* AlphaKey(int64_t time, uint8_t alpha)
{
    auto* key = new Keyframe(time);
    key->hasColor = true;
    key->color = (static_cast<uint32_t>(alpha) << 24) | 0xFFFFFF;
    return key;
}

} // namespace

FadeScreen::FadeScreen(Step step) : m_step(std::move(step))
{
    m_created = Application::Instance().GetSystemTimer().GetTime();
    m_overlay = MakeIntrusive<SceneNode>();
    Mesh mesh(16, 16, 800, 600);
    m_overlay->SetMesh(mesh);
    m_overlay->SetTexture(kBlackTexture);
    m_overlay->SetLayer(kLayer, Scope::Node);
    m_overlay->SetColor(0x00FFFFFF);
    m_overlay->AddKeyframe(KeyframePtr(AlphaKey(m_created, 0)));
    m_overlay->AddKeyframe(KeyframePtr(AlphaKey(m_created + kDarkMs, 255)));
    m_overlay->AddKeyframe(KeyframePtr(AlphaKey(m_created + kDoneMs, 0)));
}

bool FadeScreen::OnAdd()
{
    ScreenStack::Instance().SetCovered(true);
    if (FrameLoop::Instance().IsInitialised()) {
        Scene::Instance().AddNode(HierarchyNodePtr(m_overlay.Get()), Scope::Subtree, Attach::Now);
    }
    return Screen::OnAdd();
}

void FadeScreen::OnRemove()
{
    ScreenStack::Instance().SetCovered(false);
    if (m_overlay->IsAttached()) {
        Scene::Instance().RemoveNode(HierarchyNodePtr(m_overlay.Get()),
                                            Scope::Subtree, Detach::Now, Rejoin::Never);
    }
    Screen::OnRemove();
}

void FadeScreen::Run()
{
    const int64_t age = Application::Instance().GetSystemTimer().GetTime() - m_created;
    if (!m_stepDone && age >= kDarkMs) {
        m_stepDone = true;
        if (m_step) {
            Step step = std::move(m_step);
            step();
        }
    }
    if (age >= kDoneMs && IsAlive()) {
        ScreenStack::Instance().SetCovered(false);
        if (!ScreenStack::Instance().Remove(this)) {
            Kill();
        }
    }
}

void RunScreenTransition(FadeScreen::Step step)
{
    ScreenStack::Instance().Push(ScreenPtr(new FadeScreen(std::move(step))), 0);
}

} // namespace tsv
