#include "engine/core/util/file/textconvert.h"

#include "engine/core/log.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <vector>

namespace tsv {

namespace {

// One conversion step; false when the input is malformed or the encoding unknown.
bool Convert(const char* from, const char* to, const std::string& in, std::string& out, bool substitute)
{
    iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    out.clear();
    std::vector<char> buffer(in.size() * 2 + 16);
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    bool ok = true;
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        size_t outLeft = buffer.size();
        size_t r = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), buffer.size() - outLeft);
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) {
                continue;
            }
            if (errno == EILSEQ && substitute) {
                // A character the target lacks: write the default character and skip
                // the UTF-16 code unit (a surrogate pair counts as two).
                out += '?';
                inPtr += 2;
                inLeft = inLeft >= 2 ? inLeft - 2 : 0;
                continue;
            }
            ok = false;
            break;
        }
    }
    ::iconv_close(cd);
    return ok;
}

} // namespace

std::string ConvertUtf8ToCodePage(const char* text, size_t length, uint32_t codePage)
{
    std::string utf16;
    std::string result;
    std::string encoding = "CP" + std::to_string(codePage);
    if (!Convert("UTF-8", "UTF-16LE", std::string(text, length), utf16, false) ||
        !Convert("UTF-16LE", encoding.c_str(), utf16, result, true)) {
        GetLog() << Error << "MultiByteToWideChar error: " << static_cast<unsigned>(errno) << EndL;
        return {};
    }
    return result;
}

std::string ConvertCodePageToUtf8(const std::string& text, uint32_t codePage)
{
    if (codePage == 0 || text.empty()) {
        return text;
    }
    std::string result;
    std::string encoding = "CP" + std::to_string(codePage);
    if (!Convert(encoding.c_str(), "UTF-8", text, result, false)) {
        GetLog() << Error << "WideCharToMultiByte error: " << static_cast<unsigned>(errno) << EndL;
        return {};
    }
    return result;
}

bool TryConvertUtf8ToCodePage(const std::string& text, uint32_t codePage, std::string& out)
{
    if (codePage == 0) {
        out = text;
        return true;
    }
    std::string encoding = "CP" + std::to_string(codePage);
    return Convert("UTF-8", encoding.c_str(), text, out, false);
}

std::string ConvertUtf8CharsToCodePage(const std::string& text, uint32_t codePage)
{
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const size_t length = std::max<size_t>(1, CharLength(text, i, 0));
        std::string converted;
        if (static_cast<unsigned char>(text[i]) >= 32 &&
            TryConvertUtf8ToCodePage(text.substr(i, length), codePage, converted)) {
            out += converted;
        }
        i += length;
    }
    return out;
}

bool IsDoubleByteCodePage(uint32_t codePage) { return codePage == 932 || codePage == 936 || codePage == 949; }

bool IsLeadByte(uint32_t codePage, unsigned char byte)
{
    switch (codePage) {
    case 932:
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
        return byte >= 0x81 && byte <= 0xFE;
    default:
        return false;
    }
}

size_t CharLength(const std::string& text, size_t at, uint32_t codePage)
{
    if (at >= text.size()) {
        return 0;
    }
    const auto byte = static_cast<unsigned char>(text[at]);
    size_t length = 1;
    if (codePage == 0) {
        length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    } else if (IsLeadByte(codePage, byte)) {
        length = 2;
    }
    return std::min(length, text.size() - at);
}

int32_t CharCode(const std::string& text, size_t at, uint32_t codePage)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    if (IsDoubleByteCodePage(codePage) && CharLength(text, at, codePage) == 2) {
        return lead * 256 + static_cast<unsigned char>(text[at + 1]);
    }
    return lead;
}

size_t PreviousCharStart(const std::string& text, size_t at, uint32_t codePage)
{
    // Trail bytes of double-byte code pages look like lead bytes, so walk from the start.
    size_t start = 0;
    for (size_t i = 0; i < at && i < text.size();) {
        start = i;
        i += CharLength(text, i, codePage);
    }
    return start;
}

size_t CharCount(const std::string& text, uint32_t codePage)
{
    size_t count = 0;
    for (size_t i = 0; i < text.size(); i += CharLength(text, i, codePage)) {
        ++count;
    }
    return count;
}

} // namespace tsv
