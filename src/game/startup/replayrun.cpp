#include "game/startup/replayrun.h"

#include "engine/core/log.h"
#include "engine/core/sha256.h"
#include "engine/core/textformat.h"
#include "engine/core/util/file/filestream.h"
#include "engine/gui/languagemanager.h"
#include "engine/gui/screenstack.h"
#include "engine/platform/keynames.h"
#include "engine/runtime/application.h"
#include "engine/scene/inputmanager.h"
#include "engine/scene/frameloop.h"
#include "engine/sound/soundmanager.h"
#include "game/progress/gamestate.h"
#include "game/screens/gamemedia.h"
#include "game/screens/gamescreen.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bsh {

namespace {

// Headless, a frame of the game plays this many of the recording's frames.
constexpr size_t kHeadlessFramesPerTick = 4096;
// In a window, at most this many in one frame (a long stretch of pause).
constexpr size_t kWindowFramesPerTick = 600;
constexpr int32_t kCaptionLayer = 95;

// Reads the file itself, refusing what is no regular file or is larger than
// any recording (a pipe, a device, a file that grows for ever).
bool ReadBounded(const std::string& path, std::string& bytes, std::string& why)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = "it cannot be opened";
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        why = "it is not a regular file";
        return false;
    }
    bytes.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        bytes.append(buffer, static_cast<size_t>(got));
        if (bytes.size() > Replay::kMaxBytes) {
            ::close(fd);
            why = "it is larger than any recording";
            return false;
        }
    }
    ::close(fd);
    return true;
}

// The recording's frames, fed to the level as the clock and the viewer allow.
class ReplayDriver : public tsv::Task {
public:
    ReplayDriver(const Replay& replay, tsv::IntrusivePtr<GameScreen> screen, bool headless)
        : m_replay(replay), m_screen(std::move(screen)), m_headless(headless)
    {
        m_lastTick = SystemNow();
        ShowCaption();
    }

    void Run() override
    {
        if (m_done) {
            return;
        }
        if (!m_headless) {
            ReadViewerKeys();
            if (m_done) {
                return;
            }
        }
        const int64_t now = SystemNow();
        m_budgetMs += static_cast<double>(now - m_lastTick) * m_speed;
        m_lastTick = now;
        size_t played = 0;
        while (m_next < m_replay.frames.size()) {
            const ReplayFrame& frame = m_replay.frames[m_next];
            if (m_headless ? played >= kHeadlessFramesPerTick
                           : played >= kWindowFramesPerTick || static_cast<double>(frame.stepMs) > m_budgetMs) {
                break;
            }
            if (!m_headless) {
                m_budgetMs -= frame.stepMs;
            }
            m_screen->PlayReplayFrame(frame);
            ++m_next;
            ++played;
            if (m_screen->HasEnded()) {
                Finish(m_screen->ResultLine(), End::Played);
                return;
            }
        }
        if (m_next >= m_replay.frames.size()) {
            // A level the game closed on ends with its last frame.
            Finish(m_screen->ResultLineNow(), End::Played);
        } else if (!m_headless) {
            m_budgetMs = std::min(m_budgetMs, 1000.0); // no catching up after a stall
        }
    }

private:
    static int64_t SystemNow() { return tsv::Application::Instance().GetSystemTimer().GetTime(); }

    void ReadViewerKeys()
    {
        tsv::Platform* platform = tsv::FrameLoop::Instance().GetPlatform();
        for (const tsv::InputEvent& event : platform->InputGetEvents()) {
            if (event.type != tsv::InputEvent::EType::KeyPress) {
                continue;
            }
            for (const auto& [name, speed] : {std::pair("KEY_1", 1), {"KEY_2", 2}, {"KEY_4", 4}}) {
                if (event.key == tsv::PlatformKeyFromKeyCode(tsv::KeyCodeFromName(name)) && speed != m_speed) {
                    m_speed = speed;
                    ShowCaption();
                }
            }
            if (event.key == tsv::PlatformKeyFromKeyCode(tsv::KeyCode(tsv::KeyId::Escape))) {
                Finish(m_screen->ResultLineNow(), End::Stopped);
                return;
            }
        }
    }

    void ShowCaption()
    {
        if (m_caption) {
            m_caption->Expire();
            m_caption = nullptr;
        }
        const tsv::LanguageManager& language = tsv::LanguageManager::Instance();
        const std::string text = tsv::FormatText(language.GetText("$replayCaption"), {int64_t{m_speed}});
        tsv::FrameLoop::Instance().GetPlatform()->SetTitle(tsv::Application::Instance().GetWindowTitle() + " - " +
                                                               text);
        const tsv::Font* font = language.GetFont(1);
        if (!font || m_headless) {
            return;
        }
        m_caption = tsv::MakeIntrusive<tsv::SceneNode>();
        font->LayText(text, *m_caption, 0xFFFFF2C8);
        m_caption->SetPosition({-384.0f, -296.0f, 0.0f}, tsv::Transform::Now);
        tsv::AddGameNode(m_caption, kCaptionLayer);
    }

    // Played to the recording's end (or the level's), or stopped by the viewer.
    enum class End { Played, Stopped };
    void Finish(const std::string& line, End end)
    {
        const bool stopped = end == End::Stopped;
        m_done = true;
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
        int status = 0;
        if (stopped) {
            std::fprintf(stderr, "brinestoneharbour: the replay was stopped at frame %zu of %zu\n", m_next,
                         m_replay.frames.size());
        } else if (line != m_replay.result) {
            std::fprintf(stderr,
                         "brinestoneharbour: the replay did not play as it was recorded (frame %zu of %zu)\n"
                         "  recorded: %s\n  replayed: %s\n",
                         m_next, m_replay.frames.size(), m_replay.result.c_str(), line.c_str());
            status = kReplayDiffers;
        }
        tsv::GetLog() << tsv::Hint << "Replay over: " << (status == 0 ? "as recorded" : "not as recorded") << tsv::EndL;
        tsv::Application::Instance().Exit(status);
    }

    const Replay& m_replay;
    tsv::IntrusivePtr<GameScreen> m_screen;
    bool m_headless;
    bool m_done = false;
    size_t m_next = 0;
    int m_speed = 1;
    double m_budgetMs = 0;
    int64_t m_lastTick = 0;
    tsv::SceneNodePtr m_caption;
};

} // namespace

bool ReadReplayFile(const std::string& path, Replay& replay, std::string& why)
{
    std::string text;
    if (!ReadBounded(path, text, why)) {
        return false;
    }
    if (ParseReplay(text, replay, why) != ReplayRead::Read) {
        return false;
    }
    for (const ReplayFrame& frame : replay.frames) {
        for (const ReplayAction& action : frame.actions) {
            if (action.kind == ReplayAction::Kind::Key && tsv::KeyCodeFromName(action.key) == 0) {
                why = "it names a key this game does not know: " + action.key;
                return false;
            }
        }
    }
    std::string level;
    if (!tsv::ReadFileBytes(replay.level, level)) {
        why = "its level file " + replay.level + " cannot be read";
        return false;
    }
    if (tsv::Sha256Hex(level) != replay.levelSha256) {
        why = "its level file " + replay.level + " has changed since it was recorded";
        return false;
    }
    return true;
}

bool StartReplay(const Replay& replay, const tsv::RunOptions& options)
{
    // The level is played by a player of its own, in a storage folder of its
    // own: nothing of the real players is read or written.
    GameState& state = GameState::Instance();
    const GameMode mode = ModeNamed(replay.mode);
    tsv::IntrusivePtr<Profile> profile(new Profile("Replay"));
    if (replay.profile) {
        state.Profiles().Add(profile);
        state.Profiles().Select("Replay");
    }
    profile->SetHints(replay.hints);
    profile->SetDifficulty(DifficultyNamed(replay.difficulty));
    for (int hint = 0; hint < kHintCount; ++hint) {
        profile->Awards().SetHintCounter(hint, replay.tutorials[static_cast<size_t>(hint)]);
    }
    state.SetFallbackDifficulty(profile->GetDifficulty());
    state.SetClockOverride(replay.relaxed ? GameState::ClockOverride::Relaxed : GameState::ClockOverride::Timed);
    state.PrepareLevel(replay.level, mode);
    state.ResetLevelStats();
    if (IsValidMode(mode)) {
        profile->Record().SetScore(mode, replay.runScore);
    }
    state.SetScoreMultiplier(replay.multiplier);

    // Drawn in a window: with the level's sounds and effects; headless, the rules alone.
    GameMedia* media = options.headless ? nullptr : &GameMedia::Instance();
    if (media) {
        tsv::SoundManager::Instance().Preload("/sound/preload.xml");
        media->PlayMusic(Music::Game);
    }
    tsv::InputManager::Instance().SetShut(true);
    tsv::Application::Instance().GetTimer().Set(replay.startMs);
    tsv::IntrusivePtr<GameScreen> screen(new GameScreen(
        state, replay.level, mode, replay.bot ? LevelSession::Player::Bot : LevelSession::Player::Person, media,
        mode == GameMode::Endless ? GameScreen::Showing::Endless : GameScreen::Showing::Play));
    screen->SetSeed(replay.seed);
    screen->SetReplay(replay);
    screen->SetKeepsEndless(false);
    if (!screen->Start()) {
        return false;
    }
    tsv::ScreenStack::Instance().Push(tsv::ScreenPtr(screen.Get()));
    tsv::Application::Instance().GetTaskManager().AddTask(
        tsv::MakeIntrusive<ReplayDriver>(replay, screen, options.headless), 0);
    return true;
}

} // namespace bsh
