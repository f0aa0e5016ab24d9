#pragma once
// Shared set-up of the scene tests: a headless platform and a virtual clock
// that the test moves on by whole milliseconds.

#include "engine/platform/clock.h"
#include "engine/platform/runoptions.h"
#include "engine/runtime/application.h"
#include "engine/scene/frameloop.h"
#include "engine/scene/scenenode.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace tsv::test {

using testsupport::LogCapture;

// Moves the virtual clock and both timers on by `ms`.
inline void AdvanceClock(int64_t ms)
{
    for (int64_t i = 0; i < ms; ++i) {
        ClockAdvanceFrame();
    }
    Application::Instance().GetSystemTimer().Run();
    Application::Instance().GetTimer().Run();
}

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Put back in TearDown: other tests share the run options and the clock.
        m_headless = GetRunOptions().headless;
        m_fixedStep = ClockFixedStep();
        GetRunOptions().headless = true;
        if (ClockFixedStep() != 1) {
            ClockSetFixedStep(1);
        }
        Scene().DetachAll();
        // Tests start at a time that is not 0, since 0 means "never" for several fields.
        Advance(1000);
    }
    void TearDown() override
    {
        Scene().DetachAll();
        GetRunOptions().headless = m_headless;
        if (ClockFixedStep() != m_fixedStep) {
            ClockSetFixedStep(m_fixedStep);
        }
    }

    static Application& App() { return Application::Instance(); }
    static ::tsv::Scene& Scene() { return ::tsv::Scene::Instance(); }
    static FrameLoop& Loop() { return FrameLoop::Instance(); }
    static IntrusivePtr<Timer> SystemTimer() { return IntrusivePtr<Timer>(&App().GetSystemTimer()); }
    static int64_t Now() { return App().GetSystemTimer().GetTime(); }

    // Moves both timers on by `ms`.
    static void Advance(int64_t ms) { AdvanceClock(ms); }
    // Moves time on and runs the scene's node steps, `frames` times.
    static void Frames(int frames, int64_t msPerFrame)
    {
        for (int i = 0; i < frames; ++i) {
            Advance(msPerFrame);
            Scene().UpdateNodes();
            Scene().EndStep();
        }
    }

    static SceneNodePtr Quad(float w, float h)
    {
        SceneNodePtr node = MakeIntrusive<SceneNode>();
        node->SetMesh(Mesh(w, h));
        return node;
    }
    // Puts each node with its subtree into the scene at once.
    static void AddNow(std::initializer_list<SceneNodePtr> nodes)
    {
        for (const SceneNodePtr& node : nodes) {
            Scene().AddNode(node, tsv::Scope::Subtree, tsv::Attach::Now);
        }
    }

private:
    bool m_headless = false;
    int m_fixedStep = 0;
};

// Where the tests keep their node files and reference images.
inline std::string DataPath(const std::string& name) { return "tests/engine/scene/data/" + name; }

} // namespace tsv::test

