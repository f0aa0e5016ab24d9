#pragma once
// The owner of the engine's parts. It builds them in the order they depend on
// one another (the configuration, the application with its clocks and tasks,
// the node library, the scene, the frame loop that draws it, input on the
// loop's platform, sound, languages, the pointer and the screen stack), installs each behind its access point for as long as it
// lives, and takes them down in the reverse order. Building opens nothing:
// the window (and input on it) opens in StartScene, the languages and the
// pointer in StartGui.
// A part's access point never builds it: reaching one before its owner built
// it ends the program with a line saying which.

#include "engine/core/accesspoint.h"
#include "engine/core/config.h"
#include "engine/gui/languagemanager.h"
#include "engine/gui/mousecursor.h"
#include "engine/gui/screenstack.h"
#include "engine/platform/runoptions.h"
#include "engine/runtime/application.h"
#include "engine/scene/inputmanager.h"
#include "engine/scene/nodelibrary.h"
#include "engine/scene/frameloop.h"
#include "engine/sound/soundmanager.h"

#include <memory>
#include <optional>

namespace tsv {

// A part and its installation: the part is taken down while it is still
// installed (its own teardown may reach it), then the access point gets back
// whatever it had before.
template <class T>
class OwnedPart {
public:
    explicit OwnedPart(std::unique_ptr<T> part) : m_part(std::move(part)), m_installation(*m_part) {}
    ~OwnedPart() { m_part.reset(); }
    OwnedPart(const OwnedPart&) = delete;
    OwnedPart& operator=(const OwnedPart&) = delete;
    T& operator*() const { return *m_part; }
    T* operator->() const { return m_part.get(); }

private:
    std::unique_ptr<T> m_part;
    typename AccessPoint<T>::Installation m_installation;
};

class Engine {
public:
    // Reads config.xml from the storage folder set before, and opens the
    // sound device as the run's options ask (SoundManager::ForThisRun).
    Engine();
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Opens the window and the renderer; false when the platform cannot start
    // (the scene's GetStartError says why).
    bool StartScene();
    // Once the scene has started: chooses the language (the run's --language
    // for this run only, else the settings, else the user's locale), puts up
    // the mouse pointer and, with --screen, shows that screen file. False when
    // the run cannot go on (no language, or a screen file that gives no
    // screen); the log says why.
    bool StartGui(const RunOptions& options);

    Application& GetApplication() const { return *m_application; }
    Scene& GetScene() const { return *m_scene; }
    FrameLoop& GetFrameLoop() const { return *m_loop; }
    SoundManager& GetSound() const { return *m_sound; }
    ScreenStack& GetScreens() const { return *m_screens; }

private:
    OwnedPart<ConfigHolder> m_config;
    OwnedPart<Application> m_application;
    OwnedPart<NodeLibrary> m_nodes;
    OwnedPart<Scene> m_scene;
    OwnedPart<FrameLoop> m_loop;
    std::optional<OwnedPart<InputManager>> m_input; // built by StartScene, on the platform it opened
    OwnedPart<SoundManager> m_sound;
    OwnedPart<LanguageManager> m_languages;
    std::optional<OwnedPart<MouseCursor>> m_cursor; // built by StartGui, in the scene it opened
    OwnedPart<ScreenStack> m_screens;
};

} // namespace tsv
