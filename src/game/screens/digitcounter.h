#pragma once
// A number shown with digit pictures: nine digit nodes under one group node,
// of which the last `count` are visible, centred on the group's position.

#include "engine/scene/scenenode.h"

#include <array>
#include <cstdint>

namespace bsh {

class DigitCounter {
public:
    static constexpr int kDigits = 9;
    static constexpr int32_t kMaxValue = 999999999;

    // Builds the nine digit nodes showing 0, all visible.
    DigitCounter();
    DigitCounter(const DigitCounter&) = delete;
    DigitCounter& operator=(const DigitCounter&) = delete;

    // Clamped to 0..999999999; leading positions show 0.
    void SetValue(int32_t value);
    int32_t GetValue() const { return m_value; }
    // 1..9 visible digits (other counts are ignored); the group is re-centred.
    void SetDigitCount(int count);
    int GetDigitCount() const { return m_count; }

    // The group to place and attach; the digits are its children.
    const tsv::SceneNodePtr& Node() const { return m_group; }
    // The texture each digit node shows, left to right.
    std::array<int, kDigits> ShownDigits() const;

private:
    void Layout();

    tsv::SceneNodePtr m_group;
    std::array<tsv::SceneNodePtr, kDigits> m_digits;
    std::array<int, kDigits> m_shown; // -1 until a texture is set
    int32_t m_value = -1;
    int m_count = kDigits;
};

} // namespace bsh
