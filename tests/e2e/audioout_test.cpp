// A headless run of the whole start-up with --audio-out: a sound panned hard
// left is played by a task in the frame loop, and the written WAV must carry it
// in the left channel only, from the frame it was played on.

#include "game/startup/gameparts.h"
#include "game/startup/startup.h"
#include "engine/runtime/application.h"
#include "engine/scene/frameloop.h"
#include "engine/sound/soundmanager.h"

#include "engine/sound/openal/decoder.h"
#include "engine/sound/soundtesthelpers.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

constexpr int kPlayFrame = 10; // 1-based frame whose tasks play the sound
constexpr int kRunFrames = 30;

class PlayOnFrame : public tsv::Task {
public:
    explicit PlayOnFrame(std::string path) : m_path(std::move(path)) {}
    void Run() override
    {
        // The frame counter moves on after the tasks, so frame k sees k - 1.
        if (tsv::FrameLoop::Instance().GetFrameCount() == kPlayFrame - 1) {
            tsv::IntrusivePtr<tsv::AudiereSound> sound = tsv::SoundManager::Instance().GetSound(m_path);
            sound->SetPan(-1.0f);
            sound->Play();
        }
    }

private:
    std::string m_path;
};

constexpr const char* kChildDirVariable = "BSH_AUDIOOUT_CHILD_DIR";

// The game's own start-up and frame loop, with a task that plays the tone;
// only in the process the test below starts for it.
TEST(AudioOutChild, RunsTheGame)
{
    const char* given = std::getenv(kChildDirVariable);
    if (!given) {
        GTEST_SKIP() << "runs only in the process AudioOut starts";
    }
    const std::filesystem::path dir = given;
    const std::string tone = (dir / "tone.wav").string();
    const std::string out = (dir / "out.wav").string();
    ::setenv("HOME", dir.c_str(), 1);
    ::setenv("XDG_DATA_HOME", (dir / "share").c_str(), 1);
    if (::chdir(dir.c_str()) != 0) {
        ::_exit(90);
    }
    std::string frames = std::to_string(kRunFrames);
    const char* argv[] = {"brinestoneharbour", "--headless", "--no-render", "--fixed-step", "10",
                          "--frames", frames.c_str(), "--audio-out", out.c_str(), nullptr};
    const auto addTone = [&tone](bsh::GameParts& parts) {
        parts.Engine().GetApplication().GetTaskManager().AddTask(tsv::MakeIntrusive<PlayOnFrame>(tone), 0);
    };
    ::_exit(bsh::RunGame(9, const_cast<char**>(argv), addTone)); // without unwinding the test runner
}

TEST(AudioOut, HeadlessRunWritesWhatTheLoopbackRendered)
{
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("bsh-audioout-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "data" / "language");
    // Without any language the program stops at start-up.
    std::ofstream(dir / "data" / "language" / "English.xml") << "<hierarchy/>";
    const std::string tone = (dir / "tone.wav").string();
    const std::string out = (dir / "out.wav").string();
    soundtest::WriteToneWav(tone, 100);

    // The run goes in a fresh process of this test program, which runs only
    // the helper below: the game's start-up builds its own parts there.
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::setenv(kChildDirVariable, dir.c_str(), 1);
        // The child runs its one test whatever shard of the suite this process is.
        ::unsetenv("GTEST_TOTAL_SHARDS");
        ::unsetenv("GTEST_SHARD_INDEX");
        ::execl("/proc/self/exe", "bsh_game_tests", "--gtest_filter=AudioOutChild.RunsTheGame", nullptr);
        ::_exit(91);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);

    tsv::PcmData pcm;
    ASSERT_TRUE(tsv::DecodeWav(out, pcm)) << "no readable WAV written";
    const std::vector<int16_t>& samples = pcm.samples;
    ASSERT_EQ(pcm.channels, 2);
    const int rate = pcm.rate;

    // Every frame rendered exactly its 10 ms up to the end of its step; the run has
    // one more frame than --frames, in which the killed tasks are dropped.
    EXPECT_EQ(samples.size() / 2, static_cast<size_t>((kRunFrames + 2) * 10 * rate / 1000));

    const int playedAt = kPlayFrame * 10;
    EXPECT_LT(soundtest::Peak(samples, rate, 0, 0, playedAt), 5) << "silent before the play";
    EXPECT_NEAR(soundtest::OnsetMs(samples, rate, 300), playedAt, 2);
    EXPECT_GT(soundtest::Peak(samples, rate, 0, playedAt, playedAt + 100), 8000) << "heard on the left";
    EXPECT_LT(soundtest::Peak(samples, rate, 1, 0, (kRunFrames + 1) * 10), 100) << "nothing on the right";

    std::filesystem::remove_all(dir);
}

} // namespace
