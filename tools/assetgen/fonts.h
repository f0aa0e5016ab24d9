// Font files written by the generator, for the tool and its test.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace assetgen {

struct FontFile {
  std::string xmlPath;      // resource path of the XML font file
  std::string texturePath;  // resource path of its glyph texture
  int codePage;
};

// Every font file, body font first, in code pages 1252, 1250, 1251, then the
// double-byte pages 932, 936, 949.
std::vector<FontFile> FontFiles();
bool IsDoubleByte(int codePage);
// Unicode code point of each byte of a Windows code page; -1 where the byte
// has no character (and for the control bytes below 32).
std::vector<int> CodePageToUnicode(int codePage);
// The code point of one character code (a byte, or lead * 256 + trail in the
// double-byte pages); -1 when the code page has no such character.
int CharToUnicode(int codePage, int code);
// The character code of a code point in the code page, -1 when it has none.
int UnicodeToChar(int codePage, int unicode);
// The character codes a double-byte page's fonts hold: those of every text in
// the language files of that code page below `languageDir`, ASCII, and the
// punctuation the game's texts need. Characters the code page cannot hold
// are listed in `unmapped` (code points).
// Character 0x1F is the marker of the options' bars; every font draws it as
// this diamond, ahead of the printable characters.
constexpr int kMarkerCode = 0x1F;
constexpr int kMarkerUnicode = 0x25C6;

std::set<int> FontCharacters(int codePage, const std::string& languageDir, std::set<int>* unmapped = nullptr);

}  // namespace assetgen
