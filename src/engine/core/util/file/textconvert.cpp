#include "engine/core/util/file/textconvert.h"

#include "engine/core/log.h"

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

} // namespace tsv
