// Font files written by the generator, for the tool and its test.
#pragma once

#include <string>
#include <vector>

namespace assetgen {

struct FontFile {
  std::string xmlPath;      // resource path of the XML font file
  std::string texturePath;  // resource path of its glyph texture
  int codePage;
};

// Every font file, body font first, in code pages 1252, 1250, 1251.
std::vector<FontFile> FontFiles();
// Unicode code point of each byte of a Windows code page; -1 where the byte
// has no character (and for the control bytes below 32).
std::vector<int> CodePageToUnicode(int codePage);

}  // namespace assetgen
