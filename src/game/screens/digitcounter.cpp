#include "game/screens/digitcounter.h"

#include <algorithm>
#include <cstdio>

namespace bsh {

namespace {
constexpr float kDigitWidth = 24.0f;
constexpr float kDigitHeight = 32.0f;
constexpr float kDigitSpacing = 22.0f; // the pictures overlap a little

std::string DigitTexture(int digit) { return "/texture/gui/digits/" + std::to_string(digit) + ".png"; }
} // namespace

DigitCounter::DigitCounter() : m_group(tsv::MakeIntrusive<tsv::SceneNode>())
{
    m_shown.fill(-1);
    for (tsv::SceneNodePtr& digit : m_digits) {
        digit = tsv::MakeIntrusive<tsv::SceneNode>();
        digit->SetMesh(tsv::Mesh(kDigitWidth, kDigitHeight));
        m_group->AddChild(digit);
    }
    SetValue(0);
    Layout();
}

void DigitCounter::SetValue(int32_t value)
{
    if (value == m_value) {
        return;
    }
    m_value = std::clamp(value, 0, kMaxValue);
    char text[16];
    std::snprintf(text, sizeof text, "%9d", m_value);
    for (int i = 0; i < kDigits; ++i) {
        const int digit = text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : 0;
        if (m_shown[static_cast<size_t>(i)] != digit) {
            m_digits[static_cast<size_t>(i)]->SetTexture(DigitTexture(digit));
        }
        m_shown[static_cast<size_t>(i)] = digit;
    }
}

void DigitCounter::SetDigitCount(int count)
{
    if (count < 1 || count > kDigits) {
        return;
    }
    m_count = count;
    Layout();
}

void DigitCounter::Layout()
{
    const int hidden = kDigits - m_count;
    // The visible digits are centred on the group's position.
    const float left = -kDigitSpacing * static_cast<float>(m_count - 1) * 0.5f;
    for (int i = 0; i < kDigits; ++i) {
        const tsv::SceneNodePtr& digit = m_digits[static_cast<size_t>(i)];
        digit->SetVisible(i >= hidden, tsv::Scope::Node);
        digit->SetPosition({left + kDigitSpacing * static_cast<float>(i - hidden), 0.0f, 0.0f}, tsv::Transform::Now);
    }
}

std::array<int, DigitCounter::kDigits> DigitCounter::ShownDigits() const { return m_shown; }

} // namespace bsh
