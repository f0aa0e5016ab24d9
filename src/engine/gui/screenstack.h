#pragma once
// The active screens, oldest first. Pushing a screen makes it a task;
// removing it ends the task.

#include "engine/core/accesspoint.h"
#include "engine/gui/screen.h"

#include <cstdint>
#include <vector>

namespace tsv {

class ScreenStack : public AccessPoint<ScreenStack> {
public:
    static constexpr const char* kPartName = "the screen stack";
    ScreenStack() = default;

    // Appends the screen and adds it to the task list, run every `intervalMs`
    // (0: every frame). A screen whose OnAdd refuses stays listed but gets no frames.
    void Push(const ScreenPtr& screen, int64_t intervalMs = 0);
    // Removes `screen`, or the newest one when null; false when the stack is empty.
    bool Remove(Screen* screen = nullptr);
    const std::vector<ScreenPtr>& GetScreens() const { return m_screens; }
    // Drops every screen, newest first, once the task list has ended (the
    // program's end): their destructors run while everything they use exists.
    void Clear();
    size_t Count() const { return m_screens.size(); }
    bool Contains(const Screen* screen) const;

    // The screen that takes this frame's input: the newest one that can, none
    // while a transition covers the view.
    Screen* GetInputScreen() const;
    // Transitions mark the time they cover the view.
    void SetCovered(bool covered) { m_covered = covered; }
    bool IsCovered() const { return m_covered; }

    ScreenStack(const ScreenStack&) = delete;
    ScreenStack& operator=(const ScreenStack&) = delete;

    // Whether the keys or the mouse lead the focus, and where the mouse was
    // last: one for all the screens, so that the next screen shows its focus
    // at once when the keys were leading.
    struct Navigation {
        bool keysInUse = false;
        bool mouseKnown = false;
        float mouseX = 0, mouseY = 0;
        bool mouseDown = false;
    };
    Navigation& GetNavigation() { return m_navigation; }

private:
    std::vector<ScreenPtr> m_screens;
    Navigation m_navigation;
    bool m_covered = false;
};

} // namespace tsv
