#pragma once
// How much optional visual work the frame rate allows: 0 (none) .. 10 (all).
// Checked at most every 20 ms: below 20 fps it drops to 0 at once, from 20 to
// 99 fps it is 10, and from 100 fps on it climbs back by one per check.

#include <cstdint>

namespace tsv {

class DetailLevel {
public:
    static constexpr int kMax = 10;

    void Update(int64_t nowMs, int fps)
    {
        if (nowMs - m_lastCheck <= 20) {
            return;
        }
        m_lastCheck = nowMs;
        if (fps < 20) {
            m_level = 0;
        } else if (fps < 100) {
            m_level = kMax;
        } else if (m_level < kMax) {
            ++m_level;
        }
    }
    int Get() const { return m_level; }

private:
    int m_level = kMax;
    int64_t m_lastCheck = 0;
};

} // namespace tsv
