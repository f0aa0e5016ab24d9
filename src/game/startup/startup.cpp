#include "game/startup/startup.h"

#include "game/startup/gameoptions.h"
#include "game/progress/endlessrun.h"
#include "game/startup/levelrun.h"
#include "game/startup/replayrun.h"
#include "game/startup/menuflow.h"
#include "game/board/levelloader.h"
#include "engine/scene/nodeloader.h"

#include "engine/core/config.h"
#include "engine/core/log.h"
#include "engine/core/random.h"
#include "engine/core/storage.h"
#include "engine/core/util/file/filestream.h"
#include "engine/platform/clock.h"
#include "engine/platform/messagebox.h"
#include "engine/platform/platform.h"
#include "engine/platform/runoptions.h"
#include "engine/platform/script.h"
#include "engine/platform/stopsignals.h"
#include "engine/runtime/application.h"
#include "engine/scene/frameloop.h"
#include "game/screens/levelinplay.h"
#include "game/progress/gamestate.h"
#include "engine/scene/emitter.h"
#include "engine/scene/inputmanager.h"
#include "engine/gui/screenstack.h"
#include "engine/scene/scriptplayer.h"
#include "engine/gui/guiscript.h"
#include "game/startup/gameparts.h"
#include "engine/scene/sceneviewer.h"
#include "engine/sound/soundmanager.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <spawn.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace bsh {

namespace {

constexpr const char* kStorageSubfolder = "Tarvel\\Brinestoneharbour";
constexpr const char* kWindowTitle = "Brinestoneharbour 1.91";
constexpr const char* kSupportAddress = "support@tarvel-games.example";

// A fresh folder of this run's own under the system's temporary folder, with
// a trailing "/"; "" when none can be made.
std::string MakeScratchStorage()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/brinestoneharbour-replay-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        return {};
    }
    return pattern + "/";
}

// Takes that folder away with everything in it when the program ends, after
// the game-wide state has saved into it one last time.
std::string& ScratchToRemove()
{
    static std::string s_path;
    return s_path;
}

void RemoveScratchStorage()
{
    std::error_code error;
    std::filesystem::remove_all(ScratchToRemove(), error);
}

bool IsDirectory(const std::string& path)
{
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// An installed game keeps its data beside the executable or in
// ../share/brinestoneharbour, and its own data wins over a "data" folder that
// happens to be in the working directory (a menu starts the game in the
// player's home). A build tree has neither, so it reads data/ from the
// working directory, which is the source tree's during development.
void FindDataFolder()
{
    char exe[4096] = {};
    ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) {
        return;
    }
    std::string dir(exe, static_cast<size_t>(n));
    dir = dir.substr(0, dir.find_last_of('/'));
    for (const std::string& candidate : {dir, dir + "/../share/brinestoneharbour"}) {
        if (IsDirectory(candidate + "/data") && ::chdir(candidate.c_str()) == 0) {
            return;
        }
    }
}

// A script is a regular file of at most kMaxScriptBytes: a device or a
// directory named by mistake must not be read for ever.
constexpr size_t kMaxScriptBytes = 4 * 1024 * 1024;

bool ReadScriptFile(const std::string& path, std::string& text)
{
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        std::fprintf(stderr, "brinestoneharbour: cannot read script %s (not a file)\n", path.c_str());
        return false;
    }
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        std::fprintf(stderr, "brinestoneharbour: cannot read script %s\n", path.c_str());
        return false;
    }
    char buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, f)) > 0;) {
        text.append(buffer, got);
        if (text.size() > kMaxScriptBytes) {
            std::fclose(f);
            std::fprintf(stderr, "brinestoneharbour: script %s is larger than %zu bytes\n", path.c_str(),
                         kMaxScriptBytes);
            return false;
        }
    }
    std::fclose(f);
    return true;
}

// Opens a folder in the desktop's file manager without waiting for it.
void OpenFolder(const std::string& path)
{
    const char* argv[] = {"xdg-open", path.c_str(), nullptr};
    pid_t pid = 0;
    if (::posix_spawnp(&pid, "xdg-open", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
        tsv::GetLog() << tsv::Warning << "Failed to open folder \"" << path << "\"" << tsv::EndL;
    }
}

// The window could not open: the player is asked to send the logs, and the
// folder that holds them opens on request.
void ReportFatalStartError(const std::string& error, const std::string& storage)
{
    std::string text = "There was an error trying to start the game:\n" + error +
                       "\nIf you would like to help us fixing it please send us files\n\"hgelog.txt\" and "
                       "\"log.html\" from folder\n" +
                       storage + "\nto our e-mail address " + kSupportAddress +
                       "\n\nDo you want to do it now? (Click \"yes\" to open that folder)";
    if (tsv::ShowMessageBox("Error", text, tsv::MessageBoxKind::YesNo)) {
        OpenFolder(storage.empty() ? std::string(".") : storage);
        tsv::ShowMessageBox("Thank you!",
                            std::string("Please send us files \"hgelog.txt\" and \"log.html\"\nto our e-mail address ") +
                                kSupportAddress + "\n\nThank you!",
                            tsv::MessageBoxKind::Info);
    }
}

} // namespace

int RunGame(int argc, char** argv, const std::function<void(GameParts&)>& started)
{
    tsv::RunOptions& options = tsv::GetRunOptions();
    std::string message;
    GameOptions& game = GetGameOptions();
    int parsed = tsv::ParseRunOptions(argc, argv, options, message, &game);
    if (parsed != 0) {
        std::fputs(message.c_str(), parsed == 1 ? stdout : stderr);
        return parsed == 1 ? 0 : 2;
    }

    tsv::RegisterGuiScriptCommands(); // "ui" and "press"
    std::vector<tsv::ScriptCommand> script;
    if (!options.scriptPath.empty()) {
        std::string text;
        if (!ReadScriptFile(options.scriptPath, text)) {
            return 2;
        }
        std::string error;
        if (!tsv::ParseScript(text, options.scriptPath, script, error)) {
            std::fprintf(stderr, "brinestoneharbour: bad script line: %s\n", error.c_str());
            return 2;
        }
    }

    FindDataFolder();
    tsv::ClockSetFixedStep(options.fixedStepMs);
    if (!options.hasSeed) {
        // A fresh game each run; --seed repeats one.
        options.seed = static_cast<uint32_t>(std::time(nullptr));
    }
    tsv::SeedRandom(options.seed);
    tsv::SetMessageBoxesHeadless(options.headless);
    tsv::GetLog();

    // A recording is read and checked before anything starts, and played in
    // a storage folder of its own: the players' files are never touched.
    Replay replay;
    std::string replayStorage;
    if (!game.replayPath.empty()) {
        std::string why;
        if (!ReadReplayFile(game.replayPath, replay, why)) {
            std::fprintf(stderr, "brinestoneharbour: cannot play the recording %s: %s\n", game.replayPath.c_str(),
                         why.c_str());
            return kReplayRefused;
        }
        replayStorage = MakeScratchStorage();
        if (replayStorage.empty()) {
            std::fprintf(stderr, "brinestoneharbour: cannot play the recording %s: no temporary folder\n",
                         game.replayPath.c_str());
            return kReplayRefused;
        }
    }
    const tsv::StorageFolder folder =
        replayStorage.empty() ? tsv::FindStorageFolder(kStorageSubfolder) : tsv::StorageFolder{replayStorage, "", ""};
    const std::string storage = folder.path;
    if (!replayStorage.empty()) {
        ScratchToRemove() = replayStorage;
        std::atexit(RemoveScratchStorage);
    }
    if (storage.empty()) {
        // The game runs on with paths relative to the working directory.
        tsv::ShowMessageBox("Storage path error", "Unable to find suitable folder to save data", tsv::MessageBoxKind::Ok);
    }
    // One game per data folder, taken before anything is written there: a
    // second copy would write over the first one's files.
    if (!storage.empty() && !game.simulate && replayStorage.empty() && !tsv::LockStorageFolder(storage)) {
        std::fprintf(stderr, "brinestoneharbour: the game is already running with %s\n", storage.c_str());
        tsv::ShowMessageBox(kWindowTitle,
                            "Brinestoneharbour is already running. This copy closes without touching the "
                            "players' files; switch to the game that is open.",
                            tsv::MessageBoxKind::Ok);
        return 1;
    }
    tsv::SetStoragePath(storage);
    tsv::GetLog().AddTarget(tsv::IntrusivePtr<tsv::LogTarget>(new tsv::HtmlLogTarget(storage + "log.html")));
    tsv::GetLog().AddTarget(tsv::IntrusivePtr<tsv::LogTarget>(new tsv::DebuggerLogTarget));
    tsv::GetLog() << tsv::Hint << "Storage path is: " << storage << tsv::EndL;
    if (folder.Moved()) {
        // Never silently: the player's usual folder is still read, and the
        // first menu says where the game writes and why.
        tsv::SetStorageReadFolder(folder.usual);
        tsv::GetLog() << tsv::Warning << "Cannot write to " << folder.usual << " (" << folder.whyNotUsual
                      << "); the game reads the player's files from there and saves them in " << storage
                      << " until it can" << tsv::EndL;
        SetStorageMovedNotice(folder.usual, folder.whyNotUsual, storage);
    }

    // Level files name their meshes through the engine's mesh reader.
    SetLevelMeshLoader(&tsv::LoadMeshFile);
    if (game.simulate) {
        // The rules alone: no window, scene, textures or sound.
        GameState state;
        return RunSimulation(game, options, state);
    }

    GameParts parts;
    tsv::Application& app = parts.Engine().GetApplication();
    app.SetWindowTitle(kWindowTitle);
    // From here a stop signal closes the game as its window's close does
    // (a level in play is saved), and ends it even while it is busy.
    tsv::InstallStopSignals();
    // The platform's own lines also go to a plain file that players are asked
    // to send with the log when the game cannot start.
    tsv::GetLog().AddTarget(tsv::IntrusivePtr<tsv::LogTarget>(
        new tsv::TextLogTarget(storage + "hgelog.txt", tsv::kPlatformLogSection)));
    if (!parts.StartScene()) {
        ReportFatalStartError(parts.StartError(), storage);
        return -1;
    }
    tsv::FrameLoop& scene = parts.Engine().GetFrameLoop();
    if (!script.empty()) {
        scene.SetScript(std::move(script));
    }

    // The sound layer: focus changes silence and restore the groups, and each
    // frame ends by feeding (or, headless, rendering) the audio.
    tsv::SoundManager& sound = parts.Engine().GetSound();
    tsv::AudioDevice* device = sound.GetDevice();
    const bool writeAudio = options.headless && !options.audioOut.empty() && device && device->IsLoopback();
    if (writeAudio) {
        sound.SetCapture(true); // kept across a change of device
    }
    scene.AddFocusHook([&sound](bool focused) { sound.OnFocusChanged(focused); });
    scene.AddFocusHook([](bool focused) {
        if (!focused) {
            PauseLevelInPlay();
        }
    });
    scene.SetFrameEndHook([&sound] { sound.Update(); });
    // An emitter's "sound" and "playlist" play when it spawns.
    tsv::SetEmitterSoundHook(&tsv::PlaySpawnSounds);

    // The GUI: language, pointer, the --screen viewer, and the game's media.
    if (!parts.StartGui(options)) {
        std::fprintf(stderr, "brinestoneharbour: the GUI could not start (the log in %s says why)\n",
                     app.GetStoragePath().c_str());
        return 1;
    }
    if (!options.scenePath.empty() && !tsv::StartSceneViewer(options.scenePath)) {
        std::fprintf(stderr, "brinestoneharbour: cannot show the node file %s (the log in %s says why)\n",
                     options.scenePath.c_str(), app.GetStoragePath().c_str());
        return 1;
    }
    const bool levelRun =
        !game.levelPath.empty() || game.soakMinutes > 0 || game.IsEndless() || !game.replayPath.empty();
    const bool menus = options.scenePath.empty() && options.screenPath.empty() && !levelRun;
    if (levelRun || menus) {
        parts.StartMedia();
    }
    if (levelRun) {
        parts.StartState();
    }
    if (!game.replayPath.empty() && !StartReplay(replay, options)) {
        std::fprintf(stderr, "brinestoneharbour: cannot play the recording %s: its board cannot be set up\n",
                     game.replayPath.c_str());
        return kReplayRefused;
    }
    if (game.replayPath.empty() && levelRun && !StartLevelRun(game, options)) {
        std::fprintf(stderr, "brinestoneharbour: cannot play the level %s (the log in %s says why)\n",
                     game.IsEndless() ? kEndlessLevel : game.levelPath.c_str(), app.GetStoragePath().c_str());
        return 1;
    }
    if (menus) {
        // Started as a player starts it: the menus.
        StartMenus([&parts] { parts.StartState(); });
    }
    if (started) {
        started(parts);
    }
    scene.Run();
    ReportEndlessRun(game, options);
    // Closing the window or a signal keeps a level in play as leaving does.
    SaveLevelInPlay();
    // The screens go while the game-wide state they save into still exists.
    tsv::ScriptPlayer::SetDumpProvider({});
    parts.Engine().GetScreens().Clear();
    if (writeAudio) {
        tsv::WriteWavFile(options.audioOut, sound.GetCapture(), 2, sound.GetCaptureRate());
    }
    return app.GetExitCode();
}

} // namespace bsh
