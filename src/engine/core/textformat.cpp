#include "engine/core/textformat.h"

#include <algorithm>
#include <cctype>

namespace tsv {

namespace {

// Renders one argument as the directive asks: width and the '-' and '0' flags.
std::string Render(const FormatArg& arg, bool leftAlign, bool zeroPad, size_t width)
{
    std::string text = std::holds_alternative<int64_t>(arg) ? std::to_string(std::get<int64_t>(arg))
                                                            : std::get<std::string>(arg);
    if (text.size() >= width) {
        return text;
    }
    const size_t pad = width - text.size();
    if (leftAlign) {
        return text + std::string(pad, ' ');
    }
    if (zeroPad && std::holds_alternative<int64_t>(arg)) {
        const size_t sign = text[0] == '-' ? 1 : 0;
        return text.insert(sign, pad, '0');
    }
    return std::string(pad, ' ') + text;
}

} // namespace

std::string FormatText(const std::string& format, std::initializer_list<FormatArg> args)
{
    // A width beyond this is an error in the data, not a layout.
    constexpr size_t kMaxWidth = 64;
    std::string out;
    out.reserve(format.size() + 16);
    const FormatArg* next = args.begin();
    size_t i = 0;
    while (i < format.size()) {
        const char c = format[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out += '%';
            i += 2;
            continue;
        }
        size_t j = i + 1;
        bool leftAlign = false, zeroPad = false;
        for (; j < format.size() && (format[j] == '-' || format[j] == '0'); ++j) {
            leftAlign |= format[j] == '-';
            zeroPad |= format[j] == '0';
        }
        size_t width = 0;
        for (; j < format.size() && std::isdigit(static_cast<unsigned char>(format[j])); ++j) {
            width = std::min(kMaxWidth, width * 10 + static_cast<size_t>(format[j] - '0'));
        }
        const char kind = j < format.size() ? format[j] : '\0';
        if ((kind == 'd' || kind == 'i' || kind == 's') && next != args.end()) {
            out += Render(*next++, leftAlign, zeroPad, width);
            i = j + 1;
        } else {
            out.append(format, i, (kind ? j + 1 : j) - i);
            i = kind ? j + 1 : j;
        }
    }
    return out;
}

std::string Trim(const std::string& text)
{
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

} // namespace tsv
