#pragma once

#include <cstdint>
#include <string>

namespace tsv {

// Converts UTF-8 bytes to the given Windows code page (1252, 1250, 1251, ...).
// Characters the code page lacks become "?". Failure logs and returns "".
std::string ConvertUtf8ToCodePage(const char* text, size_t length, uint32_t codePage);

} // namespace tsv
