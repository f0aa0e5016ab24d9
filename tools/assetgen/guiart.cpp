// Interface pictures: cursors, mouse hints, digits, ranks, hint marks, the
// quest map's spheres and arrows, and the nineteen treasures.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <string>

#include "art.h"
#include "registry.h"

namespace assetgen {
namespace {

constexpr float kPi = 3.14159265f;
constexpr const char* kBoldFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

// Outline drawn dark around a shape, then the shape itself, for icons that
// must read on any background.
void DrawOutlined(Image& img, const Shape& shape, const Paint& paint, float outline, float bevel) {
  DrawShadow(img, shape, 1.5f, 2.5f, 2, 0.5f);
  FillSolid(img, [&](Vec2 p) { return shape(p) - outline; }, Hex(0x1c1410));
  BevelStyle st;
  st.bevel = bevel;
  st.specular = 0.8f;
  DrawBevelled(img, shape, paint, st);
}

Image ArrowCursor() {
  // Hot spot: pixel (2, 2), the arrow's tip.
  Image img(64, 64);
  auto arrow = [](Vec2 p) {
    return SdPolygon(p, {{3, 3}, {3, 33}, {10.5f, 26}, {16, 38}, {21, 35.5f}, {15.5f, 24}, {25, 23.5f}}) - 0.5f;
  };
  DrawOutlined(img, arrow, MetalPaint(GoldAt, 3, 38), 1.6f, 2.2f);
  return img;
}

Image HandCursor() {
  // Hot spot: pixel (17, 3), the tip of the pointing finger.
  Image img(64, 64);
  auto hand = [](Vec2 p) {
    const float index = SdSegment(p, {17, 6}, {17, 26}, 4.2f);
    const float f2 = SdSegment(p, {25, 20}, {25, 30}, 4);
    const float f3 = SdSegment(p, {33, 22}, {33, 31}, 3.8f);
    const float f4 = SdSegment(p, {40, 25}, {40, 32}, 3.4f);
    const float thumb = SdSegment(p, {8, 30}, {15, 38}, 3.8f);
    const float palm = SdBox(p, {29, 36}, {14, 9}, 6);
    return std::min({index, f2, f3, f4, thumb, palm});
  };
  DrawOutlined(img, hand, [](Vec2 p) { return Mix(Hex(0xffffff), Hex(0xd8dce8), p.y / 48); }, 1.6f, 2.5f);
  FillSolid(img, [](Vec2 p) { return SdBox(p, {29, 47}, {13, 2.5f}, 1); }, Hex(0xd8a838));
  return img;
}

Image MousePicture(int lit) {
  // lit: 0 none, 1 left button, 2 right button.
  Image img(64, 64);
  const Vec2 c{32, 34};
  auto body = [&](Vec2 p) { return SdEllipse(p, c, {16, 24}); };
  DrawShadow(img, body, 2, 3, 2.5f, 0.5f);
  BevelStyle st;
  st.bevel = 5;
  st.radius = 24;
  st.centre = c;
  DrawBevelled(img, body, [](Vec2) { return Hex(0xe8eaf0); }, st);
  for (int side = 1; side <= 2; ++side) {
    auto button = [&, side](Vec2 p) {
      const float half = side == 1 ? p.x - 31 : 33 - p.x;
      return std::max({body(p) + 2.5f, half, p.y - 31});
    };
    const bool on = side == lit;
    BevelStyle bs;
    bs.bevel = 2.5f;
    DrawBevelled(img, button, [on](Vec2) { return on ? Hex(0xffb020) : Hex(0xc8ccd8); }, bs);
    if (on) {
      Image glow(64, 64);
      FillSolid(glow, button, Hex(0xffd060));
      Composite(img, Blurred(glow, 5), 0, 0, 1, Mode::Add);
    }
  }
  FillSolid(img, [&](Vec2 p) { return SdBox(p, {32, 19}, {1.5f, 4}, 1.5f); }, Hex(0x606878));
  return img;
}

// Renders text with FreeType into an alpha mask of the given size, centred.
Image TextMask(const std::string& text, int w, int h, int pixelSize) {
  Image mask(w, h);
  FT_Library lib;
  FT_Face face;
  if (FT_Init_FreeType(&lib)) return mask;
  if (FT_New_Face(lib, kBoldFont, 0, &face)) {
    FT_Done_FreeType(lib);
    return mask;
  }
  FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixelSize));
  int width = 0;
  for (unsigned char ch : text)
    if (!FT_Load_Char(face, ch, FT_LOAD_DEFAULT)) width += int(face->glyph->advance.x >> 6);
  int pen = (w - width) / 2;
  const int baseline = h / 2 + int(face->size->metrics.ascender >> 6) / 2 - 1;
  for (unsigned char ch : text) {
    if (FT_Load_Char(face, ch, FT_LOAD_RENDER)) continue;
    const FT_Bitmap& bm = face->glyph->bitmap;
    for (unsigned row = 0; row < bm.rows; ++row)
      for (unsigned col = 0; col < bm.width; ++col) {
        const int x = pen + face->glyph->bitmap_left + int(col), y = baseline - face->glyph->bitmap_top + int(row);
        if (x >= 0 && y >= 0 && x < w && y < h)
          mask.At(x, y) = {1, 1, 1, float(bm.buffer[row * unsigned(bm.pitch) + col]) / 255.0f};
      }
    pen += int(face->glyph->advance.x >> 6);
  }
  FT_Done_Face(face);
  FT_Done_FreeType(lib);
  return mask;
}

// Lights a coverage mask as raised metal with a dark outline.
Image Embossed(const Image& mask, Rgba (*ramp)(float), float outline) {
  const int w = mask.Width(), h = mask.Height();
  Image img(w, h);
  Image wide = Blurred(mask, outline);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.At(x, y) = {0.12f, 0.07f, 0.03f, Clamp01(wide.At(x, y).a * 3)};
  AddDropShadow(img, 1, 2, 2, 0.6f);
  const Image height = Blurred(mask, 1.5f);
  const Vec3 light = LightDir();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float a = mask.At(x, y).a;
      if (a <= 0) continue;
      auto hAt = [&](int xx, int yy) {
        return height.At(std::clamp(xx, 0, w - 1), std::clamp(yy, 0, h - 1)).a;
      };
      const Vec3 n = Normalized({(hAt(x - 1, y) - hAt(x + 1, y)) * 2.5f, (hAt(x, y - 1) - hAt(x, y + 1)) * 2.5f, 1});
      const float diff = std::max(0.0f, Dot3(n, light));
      const float v = 0.75f - 0.4f * float(y) / float(h) + (diff - 0.7f) * 0.6f;
      img.Blend(x, y, ramp(v), a);
    }
  return img;
}

Image Crown(int size, int rank) {
  Image img(size, size);
  const float s = float(size) / 48.0f;
  Rgba (*ramp)(float) = rank == 1 ? BronzeAt : rank == 2 ? SilverAt : GoldAt;
  const int points = rank >= 4 ? 5 : 3;
  const float top = rank >= 4 ? 8 : 12;
  auto crown = [&](Vec2 p) {
    const Vec2 q = p * (1 / s);
    std::vector<Vec2> v = {{7, 38}, {7, 18}};
    for (int i = 0; i < points; ++i) {
      const float x0 = 7 + 34 * float(i) / float(points), x1 = 7 + 34 * float(i + 1) / float(points);
      v.push_back({(x0 + x1) / 2, top + (i % 2 == 1 && points == 5 ? 4 : 0)});
      v.push_back({x1, i + 1 < points ? 25.0f : 18.0f});
    }
    v.push_back({41, 38});
    return (SdPolygon(q, v) - 1) * s;
  };
  DrawShadow(img, crown, 1.5f * s, 2.5f * s, 2 * s, 0.5f);
  BevelStyle st;
  st.bevel = 2.5f * s;
  st.specular = 0.9f;
  DrawBevelled(img, crown, MetalPaint(ramp, 8 * s, 40 * s), st);
  // Band along the base.
  BevelStyle bs;
  bs.bevel = 1.5f * s;
  DrawBevelled(img, [&](Vec2 p) { return SdBox(p, Vec2{24, 35} * s, Vec2{18, 3.5f} * s, 1.5f * s); },
               MetalPaint(ramp, 31 * s, 39 * s), bs);
  // Jewels: more and bigger with every rank.
  for (int i = 0; i < points; ++i) {
    const float x0 = 7 + 34 * float(i) / float(points), x1 = 7 + 34 * float(i + 1) / float(points);
    const Vec2 tip = Vec2{(x0 + x1) / 2, top + (i % 2 == 1 && points == 5 ? 4 : 0)} * s;
    DrawSphere(img, tip, 1.8f * s, ramp(0.9f), 1, 20);
  }
  if (rank >= 2) {
    const int gems = rank == 2 ? 1 : rank == 3 ? 3 : 5;
    for (int i = 0; i < gems; ++i) {
      const float x = 24 + (float(i) - float(gems - 1) / 2) * 7.5f;
      const int kind = i == gems / 2 ? 1 : (i % 2 ? 3 : 2);
      DrawJewel(img, kind, Vec2{x, 27} * s, (rank == 5 ? 3.8f : 3.2f) * s, false);
    }
  }
  if (rank >= 4) DrawJewel(img, 8, Vec2{24, 35} * s, 2.6f * s, false);
  if (rank == 5) {
    DrawSparkle(img, Vec2{12, 12} * s, 8 * s, Rgba{1, 1, 1, 1}, 1);
    DrawSparkle(img, Vec2{38, 22} * s, 6 * s, Rgba{1, 1, 0.9f, 1}, 0.9f);
  }
  return img;
}

Image FrameLock() {
  Image img(40, 40);
  auto shackle = [](Vec2 p) { return std::max(std::fabs(SdCircle(p, {20, 15}, 8)) - 2.4f, p.y - 18); };
  auto body = [](Vec2 p) { return SdBox(p, {20, 26}, {13, 10}, 3); };
  DrawShadow(img, [&](Vec2 p) { return std::min(body(p), shackle(p)); }, 1.2f, 2, 1.5f, 0.55f);
  BevelStyle st;
  st.bevel = 2;
  DrawBevelled(img, shackle, MetalPaint(SilverAt, 5, 20), st);
  DrawBevelled(img, body, MetalPaint(SilverAt, 16, 36), st);
  FillSolid(img, [](Vec2 p) { return std::min(SdCircle(p, {20, 24}, 2.6f), SdBox(p, {20, 29}, {1.2f, 3.5f}, 0.5f)); },
            Hex(0x1a1e28));
  return img;
}

Image HintArrows() {
  Image img(80, 40);
  auto arrows = [](Vec2 p) {
    const float shaft = SdBox(p, {40, 20}, {22, 4}, 1);
    const float left = SdPolygon(p, {{4, 20}, {20, 7}, {20, 33}});
    const float right = SdPolygon(p, {{76, 20}, {60, 7}, {60, 33}});
    return std::min({shaft, left, right}) - 1;
  };
  Image glow(80, 40);
  FillSolid(glow, arrows, Hex(0xffe080));
  Composite(img, Blurred(glow, 4), 0, 0, 0.9f, Mode::Add);
  DrawOutlined(img, arrows, MetalPaint(GoldAt, 6, 34), 1.2f, 2.5f);
  return img;
}

Image Ring(int size, float radius, float width, Rgba (*ramp)(float), Rgba glowColour) {
  Image img(size, size);
  const Vec2 c{size / 2.0f, size / 2.0f};
  auto ring = [&](Vec2 p) { return std::fabs(SdCircle(p, c, radius)) - width; };
  Image glow(size, size);
  FillSolid(glow, ring, glowColour);
  Composite(img, Blurred(glow, 4), 0, 0, 1, Mode::Add);
  BevelStyle st;
  st.bevel = width * 0.8f;
  st.specular = 1;
  DrawBevelled(img, ring, MetalPaint(ramp, c.y - radius, c.y + radius), st);
  return img;
}

Image SphereBig(bool highlight) {
  if (highlight) return Ring(64, 24, 3, GoldAt, Hex(0xfff0a0));
  Image img(44, 44);
  const Vec2 c{22, 22};
  DrawShadow(img, [&](Vec2 p) { return SdCircle(p, c, 19); }, 1.5f, 2.5f, 2, 0.5f);
  BevelStyle st;
  st.bevel = 3;
  st.centre = c;
  st.radius = 19;
  DrawBevelled(img, [&](Vec2 p) { return SdCircle(p, c, 19); }, MetalPaint(GoldAt, 3, 41), st);
  DrawSphere(img, c, 15, Hex(0x1e8ab8), 1, 30);
  DrawSparkle(img, {15, 14}, 7, Rgba{1, 1, 1, 1}, 0.8f);
  return img;
}

Image SphereSmall() {
  Image img(12, 12);
  DrawShadow(img, [](Vec2 p) { return SdCircle(p, {6, 6}, 4); }, 0.6f, 1, 0.8f, 0.5f);
  DrawSphere(img, {5.8f, 5.8f}, 4, Hex(0xd8a030), 0.9f, 16);
  return img;
}

Image LevelComplete() {
  Image img(32, 32);
  auto star = [](Vec2 p) { return SdPolygon(p, StarPolygon({16, 17}, 14, 6.5f, 5, -kPi / 2)) - 0.8f; };
  DrawOutlined(img, star, MetalPaint(GoldAt, 3, 30), 1, 2.5f);
  FillSolid(img, [](Vec2 p) { return std::min(SdSegment(p, {10.5f, 17}, {14.5f, 21}, 1.6f), SdSegment(p, {14.5f, 21}, {21.5f, 12}, 1.6f)); },
            Hex(0x2e8a3a));
  return img;
}

Image Chest(int size, bool overflowing) {
  Image img(size, size);
  const float s = float(size) / 44.0f;
  auto box = [&](Vec2 p) { return SdBox(p, Vec2{22, 29} * s, Vec2{16, 10} * s, 2 * s); };
  auto lid = [&](Vec2 p) {
    return std::max(SdEllipse(p, Vec2{22, 20} * s, Vec2{16.5f, 9} * s), p.y - 20 * s);
  };
  DrawShadow(img, [&](Vec2 p) { return std::min(box(p), lid(p)); }, 1.5f * s, 2.5f * s, 2 * s, 0.5f);
  BevelStyle st;
  st.bevel = 2 * s;
  auto wood = [](Vec2 p) { return Mix(Hex(0x7a4620), Hex(0xb0703a), 0.5f + 0.5f * std::sin(p.y * 1.3f)); };
  if (overflowing) {
    for (int i = 0; i < 9; ++i) {
      const Vec2 c = Vec2{10 + float(i) * 3, 17 - float(i % 3) * 2} * s;
      DrawSphere(img, c, 3.2f * s, GoldAt(0.7f), 1, 14);
    }
    DrawJewel(img, 1, Vec2{16, 13} * s, 4.5f * s, false);
    DrawJewel(img, 3, Vec2{27, 12} * s, 4.5f * s, false);
    DrawJewel(img, 2, Vec2{22, 16} * s, 4 * s, false);
  } else {
    DrawBevelled(img, lid, wood, st);
  }
  DrawBevelled(img, box, wood, st);
  for (float x : {10.0f, 34.0f})
    DrawBevelled(img, [&, x](Vec2 p) { return SdBox(p, Vec2{x, 29} * s, Vec2{2, 10} * s, 0.5f * s); },
                 MetalPaint(GoldAt, 19 * s, 39 * s), st);
  DrawBevelled(img, [&](Vec2 p) { return SdBox(p, Vec2{22, 24} * s, Vec2{3.5f, 4} * s, 1 * s); },
               MetalPaint(GoldAt, 20 * s, 28 * s), st);
  if (overflowing) DrawSparkle(img, Vec2{32, 8} * s, 8 * s, Rgba{1, 1, 1, 1}, 1);
  return img;
}

Image BonusSign() {
  Image img(48, 48);
  auto post = [](Vec2 p) { return SdBox(p, {24, 36}, {2.5f, 11}, 1); };
  auto board = [](Vec2 p) { return SdBox(p, {24, 18}, {18, 11}, 3); };
  DrawShadow(img, [&](Vec2 p) { return std::min(post(p), board(p)); }, 1.5f, 2.5f, 2, 0.5f);
  BevelStyle st;
  st.bevel = 2.5f;
  auto wood = [](Vec2 p) { return Mix(Hex(0x8a5428), Hex(0xc0844a), 0.5f + 0.5f * std::sin(p.y * 1.1f + p.x * 0.1f)); };
  DrawBevelled(img, post, wood, st);
  DrawBevelled(img, board, wood, st);
  DrawGem(img, [](Vec2 p) { return SdPolygon(p, StarPolygon({24, 18.5f}, 9, 4.2f, 5, -kPi / 2)) - 0.5f; },
          {24, 18}, 9, Hex(0xffd23a), 0, true);
  return img;
}

Image MapArrow(float angle, bool enabled) {
  Image img(64, 64);
  auto arrow = [angle](Vec2 p) {
    const Vec2 q = Rotate(p - Vec2{32, 32}, -angle);
    return std::min(SdPolygon(q, {{24, 0}, {2, -20}, {2, 20}}), SdBox(q, {-8, 0}, {12, 8}, 2)) - 1.5f;
  };
  if (enabled) {
    Image glow(64, 64);
    FillSolid(glow, arrow, Hex(0xffe080));
    Composite(img, Blurred(glow, 4), 0, 0, 0.6f, Mode::Add);
    DrawOutlined(img, arrow, MetalPaint(GoldAt, 8, 56), 1.5f, 3);
  } else {
    DrawOutlined(img, arrow, [](Vec2) { return Hex(0x80848c); }, 1.5f, 3);
  }
  return img;
}

// ---------------------------------------------------------------- treasures

Image Coin(int kind) {
  Image img(96, 96);
  const Vec2 c{48, 48};
  auto coin = [&](Vec2 p) {
    const float a = std::atan2(p.y - c.y, p.x - c.x);
    return SdCircle(p, c, 40 + 1.2f * std::cos(a * 24));
  };
  DrawShadow(img, coin, 2, 4, 3, 0.5f);
  BevelStyle st;
  st.bevel = 6;
  st.radius = 40;
  st.centre = c;
  DrawBevelled(img, coin, MetalPaint(GoldAt, 8, 88), st);
  FillShape(img, [&](Vec2 p) { return std::fabs(SdCircle(p, c, 31)) - 1; }, [](Vec2) { return Hex(0x6b3d10, 0.6f); });
  // Laurel of small beads around the jewel.
  for (int i = 0; i < 20; ++i) {
    const Vec2 b = c + Rotate({0, -35}, float(i) * kPi / 10);
    DrawSphere(img, b, 2, GoldAt(0.8f), 0.8f, 16);
  }
  DrawJewel(img, kind, c, 24, true);
  return img;
}

Image Shield(int stars, bool best) {
  Image img(96, 96);
  auto shield = [](Vec2 p) {
    const float top = SdBox(p, {48, 34}, {34, 24}, 6);
    const float tip = SdPolygon(p, {{14, 40}, {82, 40}, {48, 90}});
    return std::min(top, tip) - 1;
  };
  DrawShadow(img, shield, 2, 4, 3, 0.5f);
  BevelStyle st;
  st.bevel = 6;
  DrawBevelled(img, shield, MetalPaint(best ? GoldAt : SilverAt, 10, 90), st);
  FillShape(img, [&](Vec2 p) { return shield(p) + 8; }, [best](Vec2 p) {
    return Mix(best ? Hex(0x8a1e2e) : Hex(0x1e4a8a), best ? Hex(0x4a0e1a) : Hex(0x0e2448), p.y / 96);
  });
  for (int i = 0; i < stars; ++i) {
    const float spread = float(stars - 1) / 2;
    const Vec2 pos{48 + (float(i) - spread) * 17, 42 + std::fabs(float(i) - spread) * 4};
    if (best) {
      DrawJewel(img, 1 + (i * 3) % 8, pos, 8.5f, i == 0);
    } else {
      auto star = [pos](Vec2 p) { return SdPolygon(p, StarPolygon(pos, 8.5f, 3.8f, 5, -kPi / 2)) - 0.5f; };
      BevelStyle ss;
      ss.bevel = 2.5f;
      ss.facets = 10;
      DrawBevelled(img, star, MetalPaint(GoldAt, pos.y - 9, pos.y + 9), ss);
    }
  }
  return img;
}

Image Trophy() {
  Image img(96, 96);
  auto bowl = [](Vec2 p) { return std::max(SdEllipse(p, {48, 16}, {27, 38}), 16 - p.y); };
  auto handles = [](Vec2 p) {
    return std::min(std::fabs(SdCircle(p, {22, 32}, 11)) - 3, std::fabs(SdCircle(p, {74, 32}, 11)) - 3);
  };
  auto cup = [&](Vec2 p) {
    const float rim = SdBox(p, {48, 16}, {29, 3.5f}, 2);
    const float stem = SdBox(p, {48, 62}, {4, 10}, 1);
    const float knot = SdEllipse(p, {48, 58}, {8, 4});
    const float base = SdBox(p, {48, 78}, {19, 6}, 2.5f);
    return std::min({bowl(p), rim, stem, knot, base, handles(p)});
  };
  DrawShadow(img, cup, 2, 4, 3, 0.5f);
  BevelStyle st;
  st.bevel = 5;
  st.specular = 1;
  DrawBevelled(img, handles, MetalPaint(GoldAt, 18, 46), st);
  DrawBevelled(img, [&](Vec2 p) { return std::min(bowl(p), SdBox(p, {48, 16}, {29, 3.5f}, 2)); },
               MetalPaint(GoldAt, 10, 56), st);
  DrawBevelled(img, [&](Vec2 p) {
    return std::min({SdBox(p, {48, 62}, {4, 10}, 1), SdEllipse(p, {48, 58}, {8, 4}), SdBox(p, {48, 78}, {19, 6}, 2.5f)});
  }, MetalPaint(GoldAt, 52, 86), st);
  DrawJewel(img, 8, {48, 34}, 11, true);
  return img;
}

}  // namespace

void GenerateGui(Output& out) {
  out.WritePng("/texture/gui/cursor/arrow.png", ArrowCursor());
  out.WritePng("/texture/gui/cursor/hand.png", HandCursor());
  out.WritePng("/texture/gui/mouse/none.png", MousePicture(0));
  out.WritePng("/texture/gui/mouse/leftbtn.png", MousePicture(1));
  out.WritePng("/texture/gui/mouse/rightbtn.png", MousePicture(2));
  for (int d = 0; d <= 9; ++d)
    out.WritePng("/texture/gui/digits/" + std::to_string(d) + ".png",
                 Embossed(TextMask(std::to_string(d), 24, 32, 26), GoldAt, 2));
  out.WritePng("/texture/gui/frame/lock.png", FrameLock());
  for (int rank = 1; rank <= 5; ++rank)
    out.WritePng("/texture/gui/frame/crown" + std::to_string(rank) + ".png", Crown(48, rank));
  out.WritePng("/texture/gui/hint-arrows.png", HintArrows());
  out.WritePng("/texture/gui/hint-circle.png", Ring(64, 26, 2.5f, GoldAt, Hex(0xfff0a0)));
  out.WritePng("/texture/map/sphere-big.png", SphereBig(false));
  out.WritePng("/texture/map/sphere-big-highlight.png", SphereBig(true));
  out.WritePng("/texture/map/sphere-small.png", SphereSmall());
  out.WritePng("/texture/map/level-complete.png", LevelComplete());
  out.WritePng("/texture/map/level-bonus.png", Chest(44, true));
  out.WritePng("/texture/map/bonus-sign.png", BonusSign());
  out.WritePng("/texture/map/arrow-left.png", MapArrow(kPi, true));
  out.WritePng("/texture/map/arrow-right.png", MapArrow(0, true));
  out.WritePng("/texture/map/arrow-up.png", MapArrow(-kPi / 2, true));
  out.WritePng("/texture/map/arrow-down.png", MapArrow(kPi / 2, true));
  out.WritePng("/texture/map/arrow-disabled-right.png", MapArrow(0, false));
  out.WritePng("/texture/map/arrow-disabled-up.png", MapArrow(-kPi / 2, false));
}

void GenerateTreasures(Output& out) {
  const std::string dir = "/texture/gui/treasure/";
  for (int i = 1; i <= 8; ++i) out.WritePng(dir + "quest_map" + std::to_string(i) + ".png", Coin(i));
  for (int i = 1; i <= 4; ++i) out.WritePng(dir + "arcade_complete" + std::to_string(i) + ".png", Shield(i, false));
  for (int i = 1; i <= 4; ++i) out.WritePng(dir + "arcade_best" + std::to_string(i) + ".png", Shield(i, true));
  out.WritePng(dir + "finalquest_complete.png", Crown(96, 5));
  out.WritePng(dir + "arcade_complete_all.png", Trophy());
  out.WritePng(dir + "total_complete.png", Chest(96, true));
}

}  // namespace assetgen
