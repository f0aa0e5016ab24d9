#pragma once
// Formats texts whose format comes from data (language files): "%d", "%s" and
// their widths and flags ("%02d", "%5s") take the arguments in order. Unlike
// printf a format can never read past its arguments or mistake a number for
// a string: a directive without an argument is kept as written, and any other
// '%' sequence is copied as it stands.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <variant>

namespace tsv {

using FormatArg = std::variant<int64_t, std::string>;

std::string FormatText(const std::string& format, std::initializer_list<FormatArg> args);

// `text` without the blanks (spaces, tabs, line ends) at either end.
std::string Trim(const std::string& text);

} // namespace tsv
