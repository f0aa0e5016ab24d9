#pragma once
// Spelling out expected file bytes in tests.

#include <cstdint>
#include <string>

namespace bsh::test {

inline std::string Le32(int32_t value)
{
    auto bits = static_cast<uint32_t>(value);
    std::string out;
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
    }
    return out;
}

// A length-prefixed string of the record files.
inline std::string Str(const std::string& text)
{
    return Le32(static_cast<int32_t>(text.size())) + text;
}

} // namespace bsh::test
