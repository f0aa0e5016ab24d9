#include "game/screens/loaderscreen.h"

#include "engine/core/log.h"
#include "engine/runtime/application.h"

#include <algorithm>

namespace bsh {

namespace {

int64_t g_firstUpdate = 0;

} // namespace

int64_t LoaderScreen::Now() { return tsv::Application::Instance().GetTimer().GetTime(); }

int64_t LoaderScreen::FirstUpdateTime() { return g_firstUpdate; }

LoaderScreen::LoaderScreen(std::function<void()> onDone, std::unique_ptr<Preloader> preloader)
    : m_created(Now()), m_preloader(std::move(preloader)), m_onDone(std::move(onDone))
{
    if (!m_preloader) {
        m_preloader = std::make_unique<Preloader>(kSoundList, kTextureFolder);
    }
    g_firstUpdate = 0;
    if (!LoadScreenFile(kScreenFile)) {
        return;
    }
    m_fill = FindComponent("progressfill");
    m_glint = FindComponent("progressglint");
    if (m_fill) {
        m_fillWidth = m_fill->GetWidth();
        m_fillLeft = m_fill->GetX() - m_fillWidth / 2;
    }
    ShowProgress(0.0f);
}

void LoaderScreen::Run()
{
    Screen::Run();
    const int64_t now = Now();
    if (g_firstUpdate == 0) {
        g_firstUpdate = now > 0 ? now : 1;
    }
    if (!m_preloadStarted && now - g_firstUpdate > kPreloadDelayMs) {
        m_preloadStarted = true;
        tsv::GetLog() << tsv::Hint << "Preload started" << tsv::EndL;
    }
    if (m_preloadStarted && !m_preloader->IsDone() && m_preloader->Step(kSliceMs)) {
        tsv::GetLog() << tsv::Hint << "Preload took " << static_cast<int64_t>(m_preloader->GetBusyMs())
                      << " ms for " << m_preloader->GetTextureCount() << " textures of "
                      << m_preloader->GetBytesRead() << " bytes" << tsv::EndL;
    }
    const float byTime = std::clamp(static_cast<float>(now - m_created) / static_cast<float>(kMinimumMs), 0.0f, 1.0f);
    ShowProgress(std::min(m_preloadStarted ? m_preloader->Progress() : 0.0f, byTime));

    if (!m_done && m_preloader->IsDone() && now - m_created > kMinimumMs) {
        m_done = true;
        tsv::GetLog() << tsv::Hint << "Preload succeeded." << tsv::EndL;
        if (m_onDone) {
            m_onDone();
        }
    }
}

void LoaderScreen::ShowProgress(float fraction)
{
    if (fraction == m_shown) {
        return;
    }
    m_shown = fraction;
    const int32_t end = m_fillLeft + static_cast<int32_t>(static_cast<float>(m_fillWidth) * fraction);
    if (m_fill && m_fill->GetNode()) {
        // The fill grows from its left end.
        m_fill->SetCenter((m_fillLeft + end) / 2, m_fill->GetY());
        m_fill->GetNode()->SetScale(std::max(fraction, 0.001f), 1.0f);
    }
    if (m_glint) {
        m_glint->SetCenter(end, m_glint->GetY());
    }
}

} // namespace bsh
