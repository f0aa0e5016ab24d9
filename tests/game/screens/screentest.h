#pragma once
// The game's screen tests: the GUI tests' headless scene and English texts, a
// game state over a scratch storage folder, and frames counted from the moment
// a screen was pushed. S is the type of the screen a test keeps in `screen`.

#include "engine/gui/guitest.h"
#include "game/progress/gamestate.h"
#include "support/scratchstorage.h"

#include <algorithm>
#include <memory>
#include <string>

namespace bsh::test {

template <typename S> class ScreenTest : public tsv::test::GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        storage = std::make_unique<ScratchStorage>();
    }
    void TearDown() override
    {
        screen = nullptr;
        GuiTest::TearDown(); // the screens go before the state they point to
        state.reset();
        storage.reset();
    }

    // The game state over the map and set texts given ("" writes no file),
    // with a current profile "Ann" unless `withProfile` is false.
    void MakeState(const std::string& map, const std::string& set = "", bool withProfile = true)
    {
        if (!map.empty()) {
            storage->Write("map.xml", map);
        }
        if (!set.empty()) {
            storage->Write("set.xml", set);
        }
        state = std::make_unique<GameState>(GameStatePaths{storage->File("map.xml"), storage->File("set.xml")});
        if (withProfile) {
            state->Profiles().Add(tsv::IntrusivePtr<Profile>(new Profile("Ann")));
        }
    }

    // Puts `pushed` on top of the stack and starts counting its time.
    template <typename T> T& Push(T* pushed)
    {
        tsv::ScreenStack::Instance().Push(tsv::ScreenPtr(pushed));
        opened = Now();
        return *pushed;
    }
    // Frames of 10 ms until `ms` after the newest screen was pushed.
    void RunUntil(int64_t ms)
    {
        while (Now() - opened < ms) {
            Advance(10);
            App().GetTaskManager().Execute();
            Scene().EndStep();
        }
    }
    // Draws one frame into the PNG `shot`.
    void Draw(const std::string& shot)
    {
        Loop().GetPlatform()->RequestScreenshot(shot);
        Scene().EndStep();
        Loop().BeginFrame();
        Loop().DrawScene();
        Loop().EndFrame();
    }
    int Count(const std::string& sound) const
    {
        return static_cast<int>(std::count(sounds.begin(), sounds.end(), sound));
    }

    std::unique_ptr<ScratchStorage> storage;
    std::unique_ptr<GameState> state;
    tsv::IntrusivePtr<S> screen;
    int64_t opened = 0;
};

} // namespace bsh::test
