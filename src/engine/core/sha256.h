#pragma once
// SHA-256 of a byte string, as lowercase hex: how a recording names the exact
// level file it was played on.

#include <string>

namespace tsv {

std::string Sha256Hex(const std::string& bytes);

} // namespace tsv
