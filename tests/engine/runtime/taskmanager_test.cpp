#include "engine/platform/clock.h"
#include "engine/scene/detaillevel.h"
#include "engine/runtime/taskmanager.h"
#include "engine/runtime/timer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tsv;

namespace {

// Every test runs on the virtual clock: 10 ms per advance.
class VirtualClockTest : public ::testing::Test {
protected:
    void SetUp() override { ClockSetFixedStep(10); }
    void TearDown() override { ClockSetFixedStep(0); }
    static void Advance(int steps = 1)
    {
        for (int i = 0; i < steps; ++i) {
            ClockAdvanceFrame();
        }
    }
    // One Execute per frame, as the main loop does.
    static void RunFrames(TaskManager& tasks, int frames)
    {
        for (int i = 0; i < frames; ++i) {
            Advance();
            tasks.Execute();
        }
    }
};

class RecordingTask : public Task {
public:
    RecordingTask(std::vector<std::string>& journal, std::string name, bool accept = true)
        : m_journal(journal), m_name(std::move(name)), m_accept(accept)
    {
    }
    bool OnAdd() override { return m_accept; }
    void Run() override { m_journal.push_back(m_name); }
    void OnRemove() override { m_journal.push_back(m_name + ":removed"); }

private:
    std::vector<std::string>& m_journal;
    std::string m_name;
    bool m_accept;
};

} // namespace

TEST_F(VirtualClockTest, TimerCountsOnlyRunningTime)
{
    Timer timer;
    Advance(3);
    timer.Run();
    EXPECT_EQ(timer.GetTime(), 30);
    timer.SetRunning(false);
    Advance(5);
    timer.Run();
    EXPECT_EQ(timer.GetTime(), 30);
    EXPECT_FALSE(timer.IsRunning());
    timer.SetRunning(true);
    Advance(2);
    timer.Run();
    EXPECT_EQ(timer.GetTime(), 50);
}

TEST_F(VirtualClockTest, TasksRunInOrderAtTheirIntervals)
{
    std::vector<std::string> journal;
    TaskManager tasks;
    IntrusivePtr<Task> every(new RecordingTask(journal, "every"));
    IntrusivePtr<Task> slow(new RecordingTask(journal, "slow"));
    IntrusivePtr<Task> refused(new RecordingTask(journal, "refused", false));
    EXPECT_TRUE(refused->IsPaused());
    ASSERT_TRUE(tasks.AddTask(every, 0));
    ASSERT_TRUE(tasks.AddTask(slow, 25));
    EXPECT_FALSE(tasks.AddTask(refused, 0));
    EXPECT_EQ(tasks.Count(), 2u);
    EXPECT_FALSE(every->IsPaused());

    RunFrames(tasks, 6);
    // "slow" falls due at 30 ms and 60 ms: at most once per frame.
    EXPECT_EQ(journal, (std::vector<std::string>{"every", "every", "every", "slow", "every", "every", "every", "slow"}));

    // A long frame covering several intervals still runs it once.
    journal.clear();
    Advance(20);
    tasks.Execute();
    EXPECT_EQ(journal, (std::vector<std::string>{"every", "slow"}));
}

TEST_F(VirtualClockTest, PausedTaskKeepsItsPlaceWithoutBurst)
{
    std::vector<std::string> journal;
    TaskManager tasks;
    IntrusivePtr<Task> slow(new RecordingTask(journal, "slow"));
    tasks.AddTask(slow, 20);
    slow->SetPaused(true);
    RunFrames(tasks, 10);
    EXPECT_TRUE(journal.empty());
    slow->SetPaused(false);
    RunFrames(tasks, 2);
    EXPECT_EQ(journal, std::vector<std::string>{"slow"});
}

TEST_F(VirtualClockTest, KilledTasksDrainThroughOnRemove)
{
    std::vector<std::string> journal;
    TaskManager tasks;
    tasks.AddTask(IntrusivePtr<Task>(new RecordingTask(journal, "a")), 0);
    tasks.AddTask(IntrusivePtr<Task>(new RecordingTask(journal, "b")), 0);
    Advance();
    EXPECT_TRUE(tasks.Execute());
    tasks.KillAll();
    Advance();
    EXPECT_FALSE(tasks.Execute());
    EXPECT_EQ(journal, (std::vector<std::string>{"a", "b", "a:removed", "b:removed"}));
    EXPECT_EQ(tasks.Count(), 0u);
    // An empty list reports so at once.
    EXPECT_FALSE(tasks.Execute());
}

TEST(DetailLevelTest, FollowsTheFrameRate)
{
    DetailLevel detail;
    EXPECT_EQ(detail.Get(), 10);
    // {now in ms, frames per second, the level after}; a check within 20 ms of the last changes nothing.
    const int64_t steps[][3] = {{21, 19, 0}, {30, 200, 0}, {42, 200, 1},   {63, 150, 2},
                                {84, 20, 10}, {105, 99, 10}, {126, 500, 10}};
    for (const auto& [now, fps, level] : steps) {
        detail.Update(now, static_cast<int>(fps));
        EXPECT_EQ(detail.Get(), level) << "at " << now << " ms";
    }
}
