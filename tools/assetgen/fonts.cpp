// Bitmap fonts: one glyph texture and one XML font file per code page, with
// every glyph stored under its code-page byte.
#include <ft2build.h>
#include FT_FREETYPE_H
#include <iconv.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "fonts.h"
#include "registry.h"

namespace assetgen {
namespace {

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

}  // namespace

std::vector<int> CodePageToUnicode(int codePage) {
  std::vector<int> table(256, -1);
  const std::string name = "CP" + std::to_string(codePage);
  iconv_t cd = iconv_open("UTF-32LE", name.c_str());
  if (cd == iconv_t(-1)) return table;
  for (int b = 32; b < 256; ++b) {
    if (b == 127) continue;
    char in[1] = {char(b)};
    unsigned char outBuf[8] = {};
    char* inPtr = in;
    char* outPtr = reinterpret_cast<char*>(outBuf);
    size_t inLeft = 1, outLeft = sizeof outBuf;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1) && outLeft == 4)
      table[size_t(b)] = int(outBuf[0] | outBuf[1] << 8 | outBuf[2] << 16 | outBuf[3] << 24);
  }
  iconv_close(cd);
  return table;
}

std::vector<FontFile> FontFiles() {
  std::vector<FontFile> files;
  for (const FontStyle& st : kStyles)
    for (int cp : {1252, 1250, 1251}) {
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
    const int pad = st.outline;
    // Every glyph cell has the same height, so the line height does not depend
    // on which character the file lists last.
    const int cellHeight = ascender + descender + 2 * pad + st.shadow;
    for (int cp : {1252, 1250, 1251}) {
      const FontFile& file = files[fileIndex++];
      const std::vector<int> unicode = CodePageToUnicode(cp);
      std::vector<Glyph> glyphs;
      for (int b = 32; b < 256; ++b) {
        if (unicode[size_t(b)] < 0) continue;
        if (FT_Load_Char(face, FT_ULong(unicode[size_t(b)]), FT_LOAD_RENDER)) continue;
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
        glyphs.push_back({b, std::move(cell)});
      }
      // Rows of glyphs, one pixel apart, in a 512-wide texture.
      const int texWidth = 512;
      int x = 0, y = 0;
      std::vector<std::pair<int, int>> pos;
      for (const Glyph& g : glyphs) {
        if (x + g.image.Width() > texWidth) {
          x = 0;
          y += cellHeight + 1;
        }
        pos.push_back({x, y});
        x += g.image.Width() + 1;
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
    FT_Done_Face(face);
  }
  FT_Done_FreeType(lib);
}

}  // namespace assetgen
