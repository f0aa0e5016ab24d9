#pragma once
// Screen changes: a black overlay fades the view out, the change happens
// unseen, and the overlay fades out again. Every screen change goes through
// one of these, so no screen pushes or pops others in the middle of a frame.

#include "engine/gui/screen.h"

#include <functional>

namespace tsv {

class FadeScreen : public Screen {
public:
    // Above every screen and the hint, below the mouse pointer.
    static constexpr int32_t kLayer = 99;
    // The view is black at kDarkMs after creation and clear again at kDoneMs.
    static constexpr int64_t kDarkMs = 500;
    static constexpr int64_t kDoneMs = 1000;

    using Step = std::function<void()>;

    // `step` runs once, while the view is black.
    explicit FadeScreen(Step step = {});

    bool OnAdd() override;
    void OnRemove() override;
    void Run() override;
    void ProcessInput() override {}

    bool StepDone() const { return m_stepDone; }
    const SceneNodePtr& GetOverlay() const { return m_overlay; }

private:
    Step m_step;
    bool m_stepDone = false;
    int64_t m_created = 0;
    SceneNodePtr m_overlay;
};

// Fades out, runs `step` (for example "remove this screen, push the
// backdrop and that menu"), fades in. Input waits until the view is clear.
void RunScreenTransition(FadeScreen::Step step);

} // namespace tsv
