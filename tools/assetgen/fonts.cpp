// Bitmap fonts: one glyph texture and one XML font file per code page, with
// every glyph stored under its code-page character code. The single-byte
// pages hold every character of the page; the double-byte pages (932, 936,
// 949) only those their language files use, so the textures stay small.
#include <ft2build.h>
#include FT_FREETYPE_H
#include <expat.h>
#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "fonts.h"
#include "registry.h"

namespace assetgen {
namespace {

const int kSingleBytePages[] = {1252, 1250, 1251};
const int kDoubleBytePages[] = {932, 936, 949};

struct FontStyle {
  const char* name;      // file name stem
  const char* file;      // DejaVu face
  int pixelSize;
  int outline;           // dark outline width, pixels
  int shadow;            // drop shadow offset, pixels
  uint32_t fillTop, fillBottom;
};

const FontStyle kStyles[] = {
    {"body", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 15, 0, 1, 0xffffff, 0xf2f2f2},
    {"title", "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf", 28, 2, 2, 0xffffff, 0xf4e6c4},
};

// The same two styles for Japanese, Chinese and Korean: a sans body and a bold
// serif title, each code page with its own regional glyph forms. The line
// box matches the DejaVu font of the same style, so a caption takes the same
// height in every language.
struct CjkStyle {
  const char* file;
  const char* family;  // family name without the region suffix
  int pixelSize;
  int ascender, descender;  // line box, pixels
};

const CjkStyle kCjkStyles[] = {
    {"/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc", "Noto Sans CJK", 16, 15, 3},
    {"/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc", "Noto Serif CJK", 28, 27, 7},
};

const char* Region(int codePage) { return codePage == 932 ? "JP" : codePage == 936 ? "SC" : "KR"; }

// Besides ASCII: the punctuation of Japanese, Chinese and Korean texts, so a
// new text using it needs no regenerated font.
const int kCjkPunctuation[] = {0x3000, 0x3001, 0x3002, 0x300C, 0x300D, 0x300E, 0x300F, 0x30FB, 0x30FC,
                               0x2026, 0x00B7, 0xFF01, 0xFF05, 0xFF08, 0xFF09, 0xFF0C, 0xFF0E, 0xFF1A,
                               0xFF1B, 0xFF1F, 0xFF5E};

struct Glyph {
  int code;
  Image image;
};

// Dilates a coverage mask by a disc of the given radius (soft edge).
Image Dilated(const Image& mask, int radius) {
  Image out(mask.Width(), mask.Height());
  for (int y = 0; y < mask.Height(); ++y)
    for (int x = 0; x < mask.Width(); ++x) {
      float best = 0;
      for (int dy = -radius - 1; dy <= radius + 1; ++dy)
        for (int dx = -radius - 1; dx <= radius + 1; ++dx) {
          const int xx = x + dx, yy = y + dy;
          if (xx < 0 || yy < 0 || xx >= mask.Width() || yy >= mask.Height()) continue;
          const float fall = Clamp01(float(radius) + 0.5f - std::sqrt(float(dx * dx + dy * dy)));
          best = std::max(best, mask.At(xx, yy).a * fall);
        }
      out.At(x, y) = {0, 0, 0, best};
    }
  return out;
}

// Converts one character between UTF-32 and a code page.
class Converter {
 public:
  Converter(const std::string& to, const std::string& from) : m_cd(iconv_open(to.c_str(), from.c_str())) {}
  ~Converter() {
    if (m_cd != iconv_t(-1)) iconv_close(m_cd);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  // The converted bytes; empty when the character has no counterpart.
  std::string Run(const std::string& in) {
    if (m_cd == iconv_t(-1)) return {};
    char outBuf[16] = {};
    char* inPtr = const_cast<char*>(in.data());
    char* outPtr = outBuf;
    size_t inLeft = in.size(), outLeft = sizeof outBuf;
    iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1) || inLeft != 0) return {};
    return std::string(outBuf, sizeof outBuf - outLeft);
  }

 private:
  iconv_t m_cd;
};

std::string Utf32(int unicode) {
  const auto u = uint32_t(unicode);
  return {char(u & 0xff), char(u >> 8 & 0xff), char(u >> 16 & 0xff), char(u >> 24 & 0xff)};
}

// Character data of a whole XML file, as UTF-8.
bool ReadXmlText(const std::string& path, std::string& text) {
  std::ifstream f(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  XML_Parser parser = XML_ParserCreate("UTF-8");
  XML_SetUserData(parser, &text);
  XML_SetCharacterDataHandler(parser, [](void* user, const XML_Char* s, int len) {
    static_cast<std::string*>(user)->append(s, size_t(len));
  });
  const bool ok = XML_Parse(parser, bytes.data(), int(bytes.size()), 1) == XML_STATUS_OK;
  if (!ok)
    std::fprintf(stderr, "assetgen: %s:%lu: %s\n", path.c_str(), XML_GetCurrentLineNumber(parser),
                 XML_ErrorString(XML_GetErrorCode(parser)));
  XML_ParserFree(parser);
  return ok;
}

std::vector<int> CodePoints(const std::string& utf8) {
  std::vector<int> out;
  for (size_t i = 0; i < utf8.size();) {
    const auto c = uint8_t(utf8[i]);
    const size_t n = c >= 0xf0 ? 4 : c >= 0xe0 ? 3 : c >= 0xc0 ? 2 : 1;
    int cp = n == 1 ? c : c & (0x3f >> (n - 1));
    for (size_t k = 1; k < n && i + k < utf8.size(); ++k) cp = cp << 6 | (uint8_t(utf8[i + k]) & 0x3f);
    out.push_back(cp);
    i += n;
  }
  return out;
}

// The code page a language file's name gives: its first run of digits.
int CodePageOfName(const std::string& name) {
  const size_t first = name.find_first_of("0123456789");
  if (first == std::string::npos) return 0;
  return std::atoi(name.substr(first, name.find_first_not_of("0123456789", first) - first).c_str());
}

// One glyph cell: the glyph drawn on a line box `ascender` + `descender` tall
// with the style's outline, shadow and fill.
Image RenderGlyph(FT_Face face, const FontStyle& st, int ascender, int descender) {
  const int pad = st.outline;
  // Every glyph cell has the same height, so the line height does not depend
  // on which character the file lists last.
  const int cellHeight = ascender + descender + 2 * pad + st.shadow;
  const FT_GlyphSlot g = face->glyph;
  const int advance = int(g->advance.x >> 6);
  const int width = std::max(1, advance + 2 * pad);
  Image mask(width, cellHeight);
  for (unsigned row = 0; row < g->bitmap.rows; ++row)
    for (unsigned col = 0; col < g->bitmap.width; ++col) {
      const int x = pad + g->bitmap_left + int(col), y = pad + ascender - g->bitmap_top + int(row);
      if (x < 0 || y < 0 || x >= width || y >= cellHeight) continue;
      mask.At(x, y) = {1, 1, 1, float(g->bitmap.buffer[row * unsigned(g->bitmap.pitch) + col]) / 255.0f};
    }
  Image cell(width, cellHeight);
  const Image rim = st.outline > 0 ? Dilated(mask, st.outline) : mask;
  Image shadow = Tinted(rim, Rgba{0.05f, 0.03f, 0.02f, st.outline > 0 ? 0.6f : 0.55f});
  if (st.outline > 0) shadow = Blurred(shadow, 1.5f);
  Composite(cell, shadow, float(st.shadow), float(st.shadow));
  if (st.outline > 0) Composite(cell, Tinted(rim, Hex(0x2a1a0e)), 0, 0);
  for (int y = 0; y < cellHeight; ++y)
    for (int x = 0; x < width; ++x) {
      const float t = float(y - pad) / float(ascender + descender);
      cell.Blend(x, y, Mix(Hex(st.fillTop), Hex(st.fillBottom), Clamp01(t)), mask.At(x, y).a);
    }
  return cell;
}

// Packs the glyphs in rows, one pixel apart, into a texture at least 512
// wide and never taller than wide, and writes it with its font file.
void WriteFont(Output& out, const FontFile& file, const std::vector<Glyph>& glyphs, int cellHeight) {
  int texWidth = 512;
  std::vector<std::pair<int, int>> pos;
  int y = 0;
  for (;;) {
    int x = 0;
    y = 0;
    pos.clear();
    for (const Glyph& g : glyphs) {
      if (x + g.image.Width() > texWidth) {
        x = 0;
        y += cellHeight + 1;
      }
      pos.push_back({x, y});
      x += g.image.Width() + 1;
    }
    if (y + cellHeight <= texWidth || texWidth >= 4096) break;
    texWidth *= 2;
  }
  int texHeight = 32;
  while (texHeight < y + cellHeight) texHeight *= 2;
  Image tex(texWidth, texHeight);
  std::ostringstream xml;
  xml << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<font>\n";
  xml << "  <texture>" << file.texturePath << "</texture>\n";
  for (size_t i = 0; i < glyphs.size(); ++i) {
    Composite(tex, glyphs[i].image, float(pos[i].first), float(pos[i].second));
    xml << "  <character><id>" << glyphs[i].code << "</id><x>" << pos[i].first << "</x><y>"
        << pos[i].second << "</y><width>" << glyphs[i].image.Width() << "</width><height>"
        << cellHeight << "</height></character>\n";
  }
  xml << "</font>\n";
  out.WritePng(file.texturePath, tex);
  out.WriteText(file.xmlPath, xml.str());
}

// The face of a collection whose family name is `family`; null when none is.
FT_Face OpenFace(FT_Library lib, const char* file, const std::string& family) {
  FT_Face face;
  if (FT_New_Face(lib, file, -1, &face)) return nullptr;
  const FT_Long count = face->num_faces;
  FT_Done_Face(face);
  for (FT_Long i = 0; i < count; ++i) {
    if (FT_New_Face(lib, file, i, &face)) continue;
    if (face->family_name && family == face->family_name) return face;
    FT_Done_Face(face);
  }
  return nullptr;
}

}  // namespace

bool IsDoubleByte(int codePage) {
  return std::find(std::begin(kDoubleBytePages), std::end(kDoubleBytePages), codePage) !=
         std::end(kDoubleBytePages);
}

std::vector<int> CodePageToUnicode(int codePage) {
  std::vector<int> table(256, -1);
  for (int b = 32; b < 256; ++b)
    if (b != 127) table[size_t(b)] = CharToUnicode(codePage, b);
  return table;
}

int CharToUnicode(int codePage, int code) {
  Converter conv("UTF-32LE", "CP" + std::to_string(codePage));
  const std::string in = code > 0xff ? std::string{char(code >> 8), char(code & 0xff)} : std::string(1, char(code));
  const std::string u = conv.Run(in);
  if (u.size() != 4) return -1;
  return int(uint8_t(u[0]) | uint8_t(u[1]) << 8 | uint8_t(u[2]) << 16 | uint8_t(u[3]) << 24);
}

int UnicodeToChar(int codePage, int unicode) {
  Converter conv("CP" + std::to_string(codePage), "UTF-32LE");
  const std::string b = conv.Run(Utf32(unicode));
  if (b.size() == 1) return uint8_t(b[0]);
  if (b.size() == 2) return uint8_t(b[0]) << 8 | uint8_t(b[1]);
  return -1;
}

std::set<int> FontCharacters(int codePage, const std::string& languageDir, std::set<int>* unmapped) {
  std::set<int> codes;
  for (int c = 32; c < 127; ++c) codes.insert(c);
  for (int u : kCjkPunctuation)
    if (const int code = UnicodeToChar(codePage, u); code >= 0) codes.insert(code);
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(languageDir, ec)) {
    const std::string name = entry.path().filename().string();
    if (!entry.is_regular_file() || entry.path().extension() != ".xml" || CodePageOfName(name) != codePage)
      continue;
    std::string text;
    ReadXmlText(entry.path().string(), text);
    for (int u : CodePoints(text)) {
      if (u < 32) continue;  // line breaks and indentation
      const int code = UnicodeToChar(codePage, u);
      if (code >= 0)
        codes.insert(code);
      else if (unmapped)
        unmapped->insert(u);
    }
  }
  return codes;
}

std::vector<FontFile> FontFiles() {
  std::vector<FontFile> files;
  for (const FontStyle& st : kStyles)
    for (int cp : kSingleBytePages) {
      const std::string stem = "/font/" + std::string(st.name) + "-" + std::to_string(cp);
      files.push_back({stem + ".xml", stem + ".png", cp});
    }
  for (const FontStyle& st : kStyles)
    for (int cp : kDoubleBytePages) {
      const std::string stem = "/font/" + std::string(st.name) + "-" + std::to_string(cp);
      files.push_back({stem + ".xml", stem + ".png", cp});
    }
  return files;
}

void GenerateFonts(Output& out) {
  FT_Library lib;
  if (FT_Init_FreeType(&lib)) {
    out.WriteText("/font/.failed", "FreeType could not start\n");
    return;
  }
  const auto files = FontFiles();
  size_t fileIndex = 0;
  for (const FontStyle& st : kStyles) {
    FT_Face face;
    if (FT_New_Face(lib, st.file, 0, &face)) continue;
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(st.pixelSize));
    const int ascender = int(face->size->metrics.ascender >> 6);
    const int descender = int(-face->size->metrics.descender >> 6);
    for (int cp : kSingleBytePages) {
      const FontFile& file = files[fileIndex++];
      const std::vector<int> unicode = CodePageToUnicode(cp);
      std::vector<Glyph> glyphs;
      if (!FT_Load_Char(face, FT_ULong(kMarkerUnicode), FT_LOAD_RENDER) && face->glyph->glyph_index != 0)
        glyphs.push_back({kMarkerCode, RenderGlyph(face, st, ascender, descender)});
      for (int b = 32; b < 256; ++b) {
        if (unicode[size_t(b)] < 0) continue;
        if (FT_Load_Char(face, FT_ULong(unicode[size_t(b)]), FT_LOAD_RENDER)) continue;
        glyphs.push_back({b, RenderGlyph(face, st, ascender, descender)});
      }
      WriteFont(out, file, glyphs, ascender + descender + 2 * st.outline + st.shadow);
    }
    FT_Done_Face(face);
  }
  const std::string languageDir = out.Source() + "/language";
  for (size_t s = 0; s < std::size(kStyles); ++s) {
    const FontStyle& st = kStyles[s];
    const CjkStyle& cjk = kCjkStyles[s];
    for (int cp : kDoubleBytePages) {
      const FontFile& file = files[fileIndex++];
      FT_Face face = OpenFace(lib, cjk.file, std::string(cjk.family) + " " + Region(cp));
      if (!face) {
        std::fprintf(stderr, "assetgen: %s %s %s not found; is fonts-noto-cjk installed?\n", cjk.file,
                     cjk.family, Region(cp));
        out.WriteText(file.xmlPath + ".failed", "no face\n");
        continue;
      }
      FT_Set_Pixel_Sizes(face, 0, FT_UInt(cjk.pixelSize));
      std::set<int> unmapped;
      std::vector<Glyph> glyphs;
      FontStyle marker = st;
      marker.pixelSize = cjk.pixelSize;
      if (!FT_Load_Char(face, FT_ULong(kMarkerUnicode), FT_LOAD_RENDER) && face->glyph->glyph_index != 0)
        glyphs.push_back({kMarkerCode, RenderGlyph(face, marker, cjk.ascender, cjk.descender)});
      for (int code : FontCharacters(cp, languageDir, &unmapped)) {
        if (FT_Load_Char(face, FT_ULong(CharToUnicode(cp, code)), FT_LOAD_RENDER)) continue;
        if (face->glyph->glyph_index == 0 && code != 32) {
          std::fprintf(stderr, "assetgen: %s: no glyph for U+%04X\n", file.xmlPath.c_str(),
                       unsigned(CharToUnicode(cp, code)));
          continue;
        }
        FontStyle cell = st;
        cell.pixelSize = cjk.pixelSize;
        glyphs.push_back({code, RenderGlyph(face, cell, cjk.ascender, cjk.descender)});
      }
      if (s == 0)
        for (int u : unmapped)
          std::fprintf(stderr, "assetgen: U+%04X of a CP%d language file has no place in the code page\n",
                       unsigned(u), cp);
      WriteFont(out, file, glyphs, cjk.ascender + cjk.descender + 2 * st.outline + st.shadow);
      FT_Done_Face(face);
    }
  }
  FT_Done_FreeType(lib);
}

}  // namespace assetgen
