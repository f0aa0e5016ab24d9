#include "engine/gui/engine.h"

#include "engine/gui/languagetable.h"
#include "engine/gui/screenviewer.h"

namespace tsv {

Engine::Engine()
    : m_config(std::make_unique<ConfigHolder>()),
      m_application(std::make_unique<Application>()),
      m_nodes(std::make_unique<NodeLibrary>()),
      m_scene(std::make_unique<Scene>()),
      m_loop(std::make_unique<FrameLoop>(*m_scene)),
      m_sound(SoundManager::ForThisRun()),
      m_languages(std::make_unique<LanguageManager>()),
      m_screens(std::make_unique<ScreenStack>())
{
}

Engine::~Engine()
{
    // Screens hold nodes, sounds and texts: they go first, once the task list
    // that runs them has ended.
    m_screens->Clear();
}

bool Engine::StartScene()
{
    if (!m_loop->Start()) {
        return false;
    }
    if (!m_input) {
        m_input.emplace(std::make_unique<InputManager>(m_loop->GetPlatform()));
    }
    return true;
}

bool Engine::StartGui(const RunOptions& options)
{
    if (!m_languages->Start(kLanguageFolder, options.language, SystemLocaleId())) {
        return false;
    }
    if (!m_cursor) {
        m_cursor.emplace(std::make_unique<MouseCursor>());
    }
    return options.screenPath.empty() || StartScreenViewer(options.screenPath);
}

} // namespace tsv
