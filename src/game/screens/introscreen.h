#pragma once
// The intro: the screen files listed in "/intro.xml", shown one after the
// other. Each stays 3500 ms, or goes at once on a click or on Return, Escape
// or Space pressed while it shows.

#include "engine/gui/screen.h"

#include <cstdint>
#include <functional>
#include <string>

namespace bsh {

class IntroScreen : public tsv::Screen {
public:
    static constexpr const char* kIntroList = "/intro.xml";
    static constexpr int64_t kShowMs = 3500;

    // `onNext` runs once, with index + 1, when this screen has had its time.
    IntroScreen(int32_t index, std::function<void(int32_t next)> onNext);
    ~IntroScreen() override;

    void Run() override;

    int32_t GetIndex() const { return m_index; }
    bool IsFinished() const { return m_finished; }

    // The screen file of intro screen `index` in the list, "" when there is none.
    static std::string IntroScreenPath(int32_t index, const std::string& list = kIntroList);

private:
    bool SkipRequested() const;

    int32_t m_index = 0;
    int64_t m_created = 0;
    bool m_finished = false;
    std::function<void(int32_t)> m_onNext;
};

} // namespace bsh
