// The review sheet: every kept picture on a chequered tile with its path.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

#include "registry.h"

namespace assetgen {
namespace {

constexpr const char* kLabelFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

void DrawLabel(Image& img, FT_Face face, int x, int y, const std::string& text) {
  int pen = x;
  for (unsigned char ch : text) {
    if (FT_Load_Char(face, ch, FT_LOAD_RENDER)) continue;
    const FT_Bitmap& bm = face->glyph->bitmap;
    for (unsigned row = 0; row < bm.rows; ++row)
      for (unsigned col = 0; col < bm.width; ++col) {
        const float a = float(bm.buffer[row * unsigned(bm.pitch) + col]) / 255.0f;
        img.Blend(pen + face->glyph->bitmap_left + int(col), y - face->glyph->bitmap_top + int(row),
                  Rgba{0.95f, 0.92f, 0.85f, 1}, a);
      }
    pen += int(face->glyph->advance.x >> 6);
  }
}

}  // namespace

Image BuildContactSheet(const std::vector<Output::Kept>& images, int sheetWidth) {
  const int pad = 10, labelHeight = 14;
  // Shelf packing in the order the pictures were made; big ones are shrunk.
  struct Place { int x, y, w, h; };
  std::vector<Place> places;
  int x = pad, y = pad, shelf = 0;
  for (const auto& k : images) {
    int w = k.image.Width(), h = k.image.Height();
    const int maxSide = 420;
    if (w > maxSide || h > maxSide) {
      const float s = float(maxSide) / float(std::max(w, h));
      w = std::max(1, int(float(w) * s));
      h = std::max(1, int(float(h) * s));
    }
    const int cellW = std::max(w, 96), cellH = h + labelHeight + 4;
    if (x + cellW + pad > sheetWidth) {
      x = pad;
      y += shelf + pad;
      shelf = 0;
    }
    places.push_back({x, y, w, h});
    x += cellW + pad;
    shelf = std::max(shelf, cellH);
  }
  Image sheet(sheetWidth, y + shelf + pad, Hex(0x20262e));
  FT_Library lib;
  FT_Face face = nullptr;
  const bool haveFont = !FT_Init_FreeType(&lib) && !FT_New_Face(lib, kLabelFont, 0, &face);
  if (haveFont) FT_Set_Pixel_Sizes(face, 0, 10);
  for (size_t i = 0; i < images.size(); ++i) {
    const Place& pl = places[i];
    const Image& src = images[i].image;
    for (int yy = 0; yy < pl.h; ++yy)
      for (int xx = 0; xx < pl.w; ++xx) {
        const bool dark = ((xx / 8) + (yy / 8)) % 2;
        sheet.At(pl.x + xx, pl.y + yy) = dark ? Hex(0x5a6470) : Hex(0x7a8490);
      }
    const Image shown = (pl.w == src.Width() && pl.h == src.Height()) ? src : Resized(src, pl.w, pl.h);
    Composite(sheet, shown, float(pl.x), float(pl.y));
    if (haveFont) {
      std::string label = images[i].label;
      const size_t slash = label.find_last_of('/');
      if (slash != std::string::npos) label = label.substr(slash + 1);
      DrawLabel(sheet, face, pl.x, pl.y + pl.h + labelHeight - 2, label);
    }
  }
  if (haveFont) {
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
  }
  return sheet;
}

}  // namespace assetgen
