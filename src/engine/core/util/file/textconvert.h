#pragma once

#include <cstdint>
#include <string>

namespace tsv {

// Converts UTF-8 bytes to the given Windows code page (1252, 1250, 1251, ...).
// Characters the code page lacks become "?". Failure logs and returns "".
std::string ConvertUtf8ToCodePage(const char* text, size_t length, uint32_t codePage);

// Converts text in a Windows code page back to UTF-8; code page 0 means the
// text already is UTF-8. Failure logs and returns "".
std::string ConvertCodePageToUtf8(const std::string& text, uint32_t codePage);

// Converts UTF-8 to the code page without substitutes: false when some
// character has no place in the code page. Code page 0 copies the text.
bool TryConvertUtf8ToCodePage(const std::string& text, uint32_t codePage, std::string& out);

// Converts UTF-8 character by character, leaving out the characters the code
// page cannot hold and control characters (typed and pasted text).
std::string ConvertUtf8CharsToCodePage(const std::string& text, uint32_t codePage);

// Code pages 932, 936 and 949 write some characters as a lead byte followed
// by a trail byte.
bool IsDoubleByteCodePage(uint32_t codePage);
bool IsLeadByte(uint32_t codePage, unsigned char byte);
// Bytes of the character that starts at `at` (1 or 2; code page 0 reads
// UTF-8 sequences); never runs past the end of the text.
size_t CharLength(const std::string& text, size_t at, uint32_t codePage);
// The character code starting at `at`: the byte, or lead * 256 + trail.
int32_t CharCode(const std::string& text, size_t at, uint32_t codePage);
// Start of the character that ends just before `at`.
size_t PreviousCharStart(const std::string& text, size_t at, uint32_t codePage);
// Number of characters in the text.
size_t CharCount(const std::string& text, uint32_t codePage);

} // namespace tsv
