// Playfield cells and frame, effect sprites and particle strips, the sea
// chart of the quest map and the backgrounds.
#include <algorithm>
#include <functional>
#include <string>

#include "art.h"
#include "dds.h"
#include "registry.h"

namespace assetgen {
namespace {

constexpr float kPi = 3.14159265f;

// ---------------------------------------------------------------- playfield

Image CellWood() {
  Image img(40, 40);
  auto shape = [](Vec2 p) { return SdBox(p, {20, 20}, {20, 20}, 1.5f); };
  BevelStyle st;
  st.bevel = 2.5f;
  st.specular = 0.15f;
  st.rimDark = 0.4f;
  DrawBevelled(img, shape, [](Vec2 p) {
    // Two planks with their own grain; a dark seam between them.
    const int plank = p.y < 20 ? 0 : 1;
    const float g = Fbm(p.x * 0.06f + float(plank) * 9, p.y * 0.6f, 71, 4);
    const float ring = 0.5f + 0.5f * std::sin(g * 18);
    Rgba c = Mix(Hex(0x9c6434), Hex(0xd39a5a), 0.3f + 0.5f * ring);
    if (std::fabs(p.y - 20) < 0.9f) c = Scaled(c, 0.45f);
    return c;
  }, st);
  for (Vec2 n : {Vec2{4, 4}, Vec2{36, 4}, Vec2{4, 24}, Vec2{36, 24}})
    DrawSphere(img, n + Vec2{0, 6}, 1.4f, Hex(0x8a8a90), 0.8f, 12);
  return img;
}

Image CellIron() {
  Image img(40, 40);
  auto shape = [](Vec2 p) { return SdBox(p, {20, 20}, {20, 20}, 1.5f); };
  BevelStyle st;
  st.bevel = 2.5f;
  st.specular = 0.6f;
  DrawBevelled(img, shape, [](Vec2 p) {
    // Tread plate: raised diagonal studs.
    const Vec2 q = Rotate(p, kPi / 4);
    const float fx = std::fmod(q.x + 100, 7.0f) - 3.5f, fy = std::fmod(q.y + 100, 7.0f) - 3.5f;
    const float stud = SdBox({fx, fy}, {0, 0}, {2.2f, 0.7f}, 0.6f);
    const float v = 0.5f - (p.y - p.x) * 0.003f + (stud < 0 ? 0.14f : 0) + (stud > 0 && stud < 0.8f ? -0.08f : 0);
    return SilverAt(v);
  }, st);
  for (Vec2 n : {Vec2{4, 4}, Vec2{36, 4}, Vec2{4, 36}, Vec2{36, 36}}) DrawSphere(img, n, 2, SilverAt(0.6f), 0.8f, 14);
  return img;
}

// The frame moulding: a carved wood rail with a gold bead. At rotation 0 each
// frame picture borders board cells below it (the rail runs along the bottom
// edge of the picture); the game turns it to face the board.
Rgba RailColour(float depth) {
  // depth: 0 at the board edge, growing outwards.
  if (depth < 2.5f) return GoldAt(0.85f - depth * 0.15f);
  if (depth < 3.5f) return Hex(0x3a2010);
  const float t = (depth - 3.5f) / 7;
  return Mix(Hex(0xa0663a), Hex(0x5a3418), t);
}

Image FrameLine() {
  Image img(40, 40);
  auto rail = [](Vec2 p) { return 29 - p.y; };
  DrawShadow(img, rail, 0, -1.5f, 2.5f, 0.5f);
  BevelStyle st;
  st.bevel = 3;
  st.slope = 0.7f;
  DrawBevelled(img, rail, [](Vec2 p) { return RailColour(40 - p.y); }, st);
  return img;
}

Image FrameOuterCorner() {
  Image img(40, 40);
  // Board cell diagonally below right: the two rails meet under a rosette.
  auto corner = [](Vec2 p) { return std::max(29 - p.x, 29 - p.y); };
  DrawShadow(img, corner, -1, -1, 2.5f, 0.5f);
  BevelStyle st;
  st.bevel = 3;
  st.slope = 0.7f;
  DrawBevelled(img, corner, [](Vec2 p) { return RailColour(std::min(40 - p.x, 40 - p.y)); }, st);
  const Vec2 c{33, 33};
  auto rosette = [&](Vec2 p) { return SdPolygon(p, StarPolygon(c, 8, 5.5f, 8, 0)) - 0.8f; };
  DrawShadow(img, rosette, 1, 1.5f, 1.5f, 0.6f);
  BevelStyle rs;
  rs.bevel = 2.5f;
  rs.facets = 16;
  DrawBevelled(img, rosette, MetalPaint(GoldAt, 25, 41), rs);
  DrawSphere(img, c, 2.6f, Hex(0x2fd8e4), 1, 30);
  return img;
}

Image FrameInnerCorner() {
  Image img(40, 40);
  // Board cells below and to the right: the rails join in a mitre.
  auto rails = [](Vec2 p) { return std::min(29 - p.x, 29 - p.y); };
  DrawShadow(img, rails, -1, -1, 2.5f, 0.5f);
  BevelStyle st;
  st.bevel = 3;
  st.slope = 0.7f;
  DrawBevelled(img, rails, [](Vec2 p) { return RailColour(std::min(40 - p.x, 40 - p.y)); }, st);
  DrawSphere(img, {34.5f, 34.5f}, 2.2f, GoldAt(0.7f), 1, 20);
  return img;
}

Image Select() {
  Image img(40, 40);
  auto ring = [](Vec2 p) { return std::fabs(SdBox(p, {20, 20}, {17.5f, 17.5f}, 6)) - 1.6f; };
  Image glow(40, 40);
  FillSolid(glow, ring, Hex(0xffe08a));
  Composite(img, Blurred(glow, 3), 0, 0, 1, Mode::Add);
  BevelStyle st;
  st.bevel = 1.2f;
  st.specular = 1;
  DrawBevelled(img, ring, MetalPaint(GoldAt, 0, 40), st);
  for (Vec2 c : {Vec2{5, 5}, Vec2{35, 35}}) DrawSparkle(img, c, 6, Rgba{1, 1, 0.9f, 1}, 0.9f);
  return img;
}

// The keyboard's cursor: a bright ring between two dark ones, and corner
// brackets, so that it reads on light wood, dark iron and every jewel.
Image KeyCursor() {
  Image img(44, 44);
  const Vec2 c{22, 22};
  auto ring = [&](float half, float width) {
    return [=](Vec2 p) { return std::fabs(SdBox(p, c, {half, half}, 5)) - width; };
  };
  FillSolid(img, ring(19.0f, 3.2f), Hex(0x06121c, 0.85f));
  FillSolid(img, ring(19.0f, 1.7f), Hex(0x8ff4ff));
  for (int corner = 0; corner < 4; ++corner) {
    const float sx = corner % 2 ? 1.0f : -1.0f, sy = corner / 2 ? 1.0f : -1.0f;
    auto bracket = [=](Vec2 p) {
      const Vec2 q{(p.x - c.x) * sx, (p.y - c.y) * sy};
      return std::min(SdBox(q, {16, 20.5f}, {6, 1.5f}), SdBox(q, {20.5f, 16}, {1.5f, 6}));
    };
    FillSolid(img, bracket, Hex(0xffffff));
  }
  return img;
}

// ------------------------------------------------------------------ effects

// Frames laid left to right, each drawn by draw(frame image, t in 0..1).
Image Strip(int frames, int size, const std::function<void(Image&, float)>& draw) {
  Image strip(frames * size, size);
  for (int i = 0; i < frames; ++i) {
    Image frame(size, size);
    draw(frame, frames > 1 ? float(i) / float(frames - 1) : 0);
    Composite(strip, frame, float(i * size), 0);
  }
  return strip;
}

float FadeOut(float t, float start) { return t < start ? 1 : Clamp01(1 - (t - start) / (1 - start)); }

void SmokePuff(Image& img, Vec2 c, float r, float alpha, uint32_t seed) {
  PaintAll(img, [&](Vec2 p) {
    const Vec2 q = (p - c) * (1 / r);
    const float n = Fbm(p.x * 4 / r, p.y * 4 / r, seed, 3);
    const float d = Length(q) - 0.55f - 0.35f * n;
    const float a = Clamp01(-d * 2.5f) * alpha;
    const float shade = 0.8f - 0.25f * q.y - 0.15f * q.x;
    return Rgba{0.82f * shade, 0.8f * shade, 0.78f * shade, a};
  });
}

Image Flame(int size) {
  Image img(size, size);
  const Vec2 c{size / 2.0f, size / 2.0f};
  const float r = size * 0.46f;
  PaintAll(img, [&](Vec2 p) {
    const Vec2 q = (p - c) * (1 / r);
    const float a = std::atan2(q.y, q.x);
    const float tongues = 0.7f + 0.3f * Fbm(std::cos(a) * 2 + 5, std::sin(a) * 2 + 5, 13, 3) +
                          0.12f * std::sin(a * 7);
    const float t = Length(q) / tongues;
    if (t >= 1) return Rgba{};
    const float heat = 1 - t;
    Rgba col = heat > 0.6f ? Mix(Hex(0xffd040), Hex(0xfffbe0), (heat - 0.6f) / 0.4f)
             : heat > 0.25f ? Mix(Hex(0xff6a10), Hex(0xffd040), (heat - 0.25f) / 0.35f)
                            : Mix(Hex(0xa01808), Hex(0xff6a10), heat / 0.25f);
    col.a = Clamp01(heat * 2.2f);
    return col;
  });
  return img;
}

Image Fireball() {
  Image img(64, 64);
  // Head at the top, tail streaming down: the game turns it to its direction.
  PaintAll(img, [](Vec2 p) {
    const Vec2 head{32, 20};
    const float dy = std::max(0.0f, p.y - head.y);
    const float width = 12 - dy * 0.26f;
    const float dx = std::fabs(p.x - head.x) + 0.6f * std::sin(p.y * 0.5f) * dy / 40;
    const float tail = width > 0 ? Clamp01(1 - dx / width) * Clamp01(1 - dy / 42) : 0;
    const float ball = Clamp01(1 - Length(p - head) / 13);
    const float heat = std::max(tail * 0.85f, ball);
    if (heat <= 0) return Rgba{};
    Rgba col = heat > 0.55f ? Mix(Hex(0xffc83a), Hex(0xffffe8), (heat - 0.55f) / 0.45f)
                            : Mix(Hex(0xd02a08), Hex(0xffc83a), heat / 0.55f);
    col.a = Clamp01(heat * 2);
    return col;
  });
  return img;
}

Image ShockRing(int size, float radius, float width, Rgba colour) {
  Image img(size, size);
  const Vec2 c{size / 2.0f, size / 2.0f};
  PaintAll(img, [&](Vec2 p) {
    const float d = std::fabs(Length(p - c) - radius) / width;
    return WithAlpha(colour, Clamp01(1 - d) * Clamp01(1 - d));
  }, Mode::Add);
  return img;
}

Image Glow(int size, Rgba colour) {
  Image img(size, size);
  DrawGlow(img, {size / 2.0f, size / 2.0f}, size / 2.0f, colour, 1);
  return img;
}

void Shard(Image& img, float t, int kind, float size) {
  // A jewel splinter tumbling: a sliver of the jewel's colour, lit as a facet.
  const Vec2 c{size / 2, size / 2};
  const float a = t * kPi * 1.5f + float(kind);
  std::vector<Vec2> tri = {Rotate({0, -size * 0.42f}, a), Rotate({size * 0.26f, size * 0.3f}, a),
                           Rotate({-size * 0.22f, size * 0.2f}, a)};
  for (Vec2& v : tri) v = v + c;
  BevelStyle st;
  st.bevel = size * 0.12f;
  st.specular = 1;
  st.facets = 3;
  Image layer(img.Width(), img.Height());
  DrawBevelled(layer, [&](Vec2 p) { return SdPolygon(p, tri); }, [&](Vec2) {
    return JewelColour(kind);
  }, st);
  Composite(img, layer, 0, 0, FadeOut(t, 0.6f));
}

// ---------------------------------------------------------------- sea chart

struct Island {
  float x, y, r;
};
// Land masses in map units: the home harbour coast lies bottom left.
const Island kIslands[] = {
    {-400, 260, 320}, {-250, 240, 170}, {-80, 330, 110}, {260, -20, 120}, {620, 190, 170}, {1010, -120, 150},
    {1150, 240, 110}, {-180, -560, 190}, {320, -760, 150}, {780, -560, 210}, {1130, -830, 130},
    {60, -330, 70},   {930, -360, 60},   {-330, -860, 120}, {520, -420, 60},
    // The isles and reefs that the quest's route crosses.
    {-110, -110, 105}, {80, -245, 80},   {295, -200, 70},   {300, 175, 85},   {600, -50, 85},
    {905, 160, 75},    {1160, -225, 55}, {770, -245, 90},   {650, -215, 55},  {270, -405, 85},
    {0, -450, 60},     {-125, -345, 55}, {-350, -385, 65},  {-85, -760, 95},  {60, -715, 55},
    {320, -565, 60},   {520, -560, 55},  {595, -795, 65},   {1160, -545, 55}, {1045, -545, 65},
    {770, -350, 55},   {105, -612, 48},
};

}  // namespace

float ChartLandHeight(float x, float y) {
  float h = 0;
  for (const Island& i : kIslands) {
    const float d = std::hypot(x - i.x, y - i.y) / i.r;
    h += std::exp(-d * d * 1.6f);
  }
  h += (Fbm(x * 0.006f, y * 0.006f, 404, 5) - 0.5f) * 0.9f;
  return h;
}

Image SeaChartImage() {
  // Map units x in [-400, 1200], y in [-980, 300]; one pixel per unit.
  const int w = 1600, h = 1280;
  Image img(w, h);
  for (int py = 0; py < h; ++py)
    for (int px = 0; px < w; ++px) {
      const float x = float(px) - 400 + 0.5f, y = float(py) - 980 + 0.5f;
      const float ht = ChartLandHeight(x, y);
      const float paper = Fbm(x * 0.03f, y * 0.03f, 9, 3);
      Rgba c;
      if (ht < ChartShoreHeight) {
        // Water: deep ink blue to turquoise shallows, with depth contours.
        const float shallow = Clamp01((ht - 0.05f) / (ChartShoreHeight - 0.05f));
        c = Mix(Hex(0x1f5d8c), Hex(0x5cc8d0), shallow * shallow);
        const float contour = std::fabs(std::fmod(ht * 14 + 100, 1.0f) - 0.5f);
        if (shallow > 0.35f && contour < 0.04f) c = Mix(c, Hex(0xd8f4f0), 0.35f);
        // Wave hatching far out at sea.
        const float wave = std::sin(x * 0.09f + std::sin(y * 0.05f) * 2) * std::sin(y * 0.35f);
        if (shallow < 0.3f && wave > 0.93f) c = Mix(c, Hex(0x8cc8e0), 0.35f);
        // Surf right at the shore.
        const float surf = SmoothStep(ChartShoreHeight - 0.03f, ChartShoreHeight, ht);
        c = Mix(c, Hex(0xeafcff), surf * 0.45f);
      } else {
        const float up = ht - ChartShoreHeight;
        if (up < 0.035f) {
          c = Mix(Hex(0xf2dc9a), Hex(0xe6c47a), up / 0.035f);  // beach
        } else {
          const float t = Clamp01((up - 0.035f) / 0.7f);
          c = Mix(Hex(0x7cc05a), Hex(0x3e8a3e), t);
          if (t > 0.6f) c = Mix(c, Hex(0x9a8a6a), (t - 0.6f) * 2.2f);  // highlands
          // Hill shading from the slope towards the light.
          const float e = 2;
          const float sx = ChartLandHeight(x + e, y) - ChartLandHeight(x - e, y);
          const float sy = ChartLandHeight(x, y + e) - ChartLandHeight(x, y - e);
          c = Scaled(c, 1 - (sx * 0.7f + sy) * 9);
          const float tree = ValueNoise(x * 0.35f, y * 0.35f, 77);
          if (t > 0.15f && t < 0.6f && tree > 0.8f) c = Scaled(c, 0.75f);
        }
      }
      // Old paper: warm tint and speckle over everything.
      c = Mix(c, Hex(0xf0e2c0), 0.12f + 0.08f * paper);
      c.a = 1;
      img.At(px, py) = {Clamp01(c.r), Clamp01(c.g), Clamp01(c.b), 1};
    }
  auto toPx = [](float x, float y) { return Vec2{x + 400, y + 980}; };
  // Chart grid every 200 units.
  PaintAll(img, [&](Vec2 p) {
    const float gx = std::fabs(std::fmod(p.x + 2000, 200.0f) - 100) , gy = std::fabs(std::fmod(p.y + 2000, 200.0f) - 100);
    const float line = std::max(Clamp01(1 - (100 - gx)), Clamp01(1 - (100 - gy)));
    return Rgba{0.25f, 0.2f, 0.15f, 0.18f * line};
  });
  // Compass rose in open water.
  {
    const Vec2 c = toPx(860, -40);
    FillShape(img, [&](Vec2 p) { return std::fabs(SdCircle(p, c, 60)) - 1.5f; },
              [](Vec2) { return Hex(0x3a2a18, 0.6f); });
    BevelStyle st;
    st.bevel = 4;
    st.facets = 16;
    DrawBevelled(img, [&](Vec2 p) { return SdPolygon(p, StarPolygon(c, 40, 8, 4, kPi / 4)); },
                 [](Vec2) { return Hex(0xe8dcc0); }, st);
    DrawBevelled(img, [&](Vec2 p) { return SdPolygon(p, StarPolygon(c, 70, 10, 4, -kPi / 2)); },
                 MetalPaint(GoldAt, c.y - 70, c.y + 70), st);
    FillShape(img, [&](Vec2 p) { return std::max(SdPolygon(p, StarPolygon(c, 70, 10, 4, -kPi / 2)), p.y - c.y); },
              [](Vec2) { return Hex(0xc83028, 0.7f); });
  }
  // Home harbour: a pier, houses and a lighthouse on the bottom-left coast.
  {
    BevelStyle st;
    st.bevel = 2;
    auto pier = [&](Vec2 p) { return SdBox(p, toPx(-50, 215), {60, 6}, 2); };
    DrawShadow(img, pier, 2, 3, 2, 0.5f);
    DrawBevelled(img, pier, [](Vec2 p) { return std::fmod(p.x, 6.0f) < 1 ? Hex(0x6a4020) : Hex(0xa87040); }, st);
    Rng rng(5);
    for (int i = 0; i < 9; ++i) {
      const Vec2 c = toPx(-330 + float(i % 5) * 34 + rng.Range(-5, 5), 150 + float(i / 5) * 38 + rng.Range(-4, 4));
      auto wall = [&](Vec2 p) { return SdBox(p, c + Vec2{0, 5}, {11, 8}, 1); };
      DrawShadow(img, wall, 2, 3, 2, 0.45f);
      DrawBevelled(img, wall, [](Vec2) { return Hex(0xf4ead8); }, st);
      auto roof = [&](Vec2 p) { return SdPolygon(p, {c + Vec2{-14, -2}, c + Vec2{0, -14}, c + Vec2{14, -2}}) - 0.5f; };
      DrawBevelled(img, roof, [i](Vec2) { return i % 3 == 0 ? Hex(0x3a6ab0) : Hex(0xc8482e); }, st);
    }
    const Vec2 lh = toPx(20, 182);
    auto tower = [&](Vec2 p) { return SdPolygon(p, {lh + Vec2{-9, 30}, lh + Vec2{-6, -26}, lh + Vec2{6, -26}, lh + Vec2{9, 30}}); };
    DrawShadow(img, tower, 3, 4, 3, 0.5f);
    DrawBevelled(img, tower, [&](Vec2 p) { return std::fmod(p.y - lh.y + 100, 16.0f) < 8 ? Hex(0xf4f0e8) : Hex(0xd83a30); }, st);
    DrawSphere(img, lh + Vec2{0, -31}, 6, Hex(0xffe070));
    DrawGlow(img, lh + Vec2{0, -31}, 40, Hex(0xfff0a0), 0.6f);
  }
  // A few sailing ships.
  for (Vec2 s : {Vec2{450, 80}, Vec2{880, -330}, Vec2{200, -545}, Vec2{130, -110}}) {
    const Vec2 c = toPx(s.x, s.y);
    BevelStyle st;
    st.bevel = 2;
    auto hull = [&](Vec2 p) { return SdPolygon(p, {c + Vec2{-16, 0}, c + Vec2{16, 0}, c + Vec2{10, 8}, c + Vec2{-10, 8}}); };
    DrawShadow(img, hull, 2, 3, 2, 0.4f);
    DrawBevelled(img, hull, [](Vec2) { return Hex(0x7a4a22); }, st);
    auto sail = [&](Vec2 p) { return SdPolygon(p, {c + Vec2{-1, -26}, c + Vec2{13, -3}, c + Vec2{-1, -3}}); };
    DrawBevelled(img, sail, [](Vec2) { return Hex(0xfaf4e4); }, st);
    auto sail2 = [&](Vec2 p) { return SdPolygon(p, {c + Vec2{-3, -20}, c + Vec2{-3, -3}, c + Vec2{-13, -3}}); };
    DrawBevelled(img, sail2, [](Vec2) { return Hex(0xf0e6d0); }, st);
  }
  return img;
}

namespace {

// ------------------------------------------------------------- backgrounds

Image SunsetHarbour(bool withHarbour) {
  Image img(800, 600);
  const float horizon = 330;
  const Vec2 sun{560, 300};
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      const Vec2 p{x + 0.5f, y + 0.5f};
      Rgba c;
      if (p.y < horizon) {
        const float t = p.y / horizon;
        c = t < 0.5f ? Mix(Hex(0x2c3e7a), Hex(0x8a5a9a), t * 2) : Mix(Hex(0x8a5a9a), Hex(0xffb070), (t - 0.5f) * 2);
        const float sunGlow = std::exp(-Length(p - sun) / 160);
        c = Mix(c, Hex(0xffe0a0), sunGlow * 0.7f);
        // Soft banded clouds.
        const float cl = Fbm(p.x * 0.004f, p.y * 0.02f, 21, 5);
        const float cloud = SmoothStep(0.55f, 0.75f, cl) * (1 - t * 0.3f);
        c = Mix(c, Mix(Hex(0xffd0b0), Hex(0xb07098), 1 - t), cloud * 0.55f);
      } else {
        const float t = (p.y - horizon) / (600 - horizon);
        c = Mix(Hex(0x4a6aa0), Hex(0x14345a), std::sqrt(t));
        // Sun path: glints on the water below the sun.
        const float dx = std::fabs(p.x - sun.x) / (40 + t * 220);
        const float ripple = ValueNoise(p.x * 0.08f, p.y * 0.6f, 33);
        const float path = std::exp(-dx * dx) * SmoothStep(0.45f, 0.9f, ripple);
        c = Mix(c, Hex(0xffe6b0), path * 0.85f);
        const float wave = ValueNoise(p.x * 0.03f, p.y * 0.25f, 34);
        c = Scaled(c, 0.9f + 0.2f * wave);
      }
      img.At(x, y) = {Clamp01(c.r), Clamp01(c.g), Clamp01(c.b), 1};
    }
  DrawGlow(img, sun, 70, Hex(0xfff2c0), 0.9f);
  FillSolid(img, [&](Vec2 p) { return SdCircle(p, sun, 34); }, Hex(0xfff6d8));
  // Distant hills on the horizon.
  PaintAll(img, [&](Vec2 p) {
    const float ridge = horizon - 14 - 40 * Fbm(p.x * 0.006f, 3, 55, 4) * SmoothStep(380, 40, p.x);
    return p.y > ridge && p.y < horizon + 1 ? Hex(0x4a3a6a, 0.9f) : Rgba{};
  });
  if (withHarbour) {
    // Stone quay with a lighthouse on the left, a moored boat beside it.
    FillShape(img, [](Vec2 p) { return SdPolygon(p, {{-10, 318}, {250, 318}, {330, 610}, {-10, 610}}); },
              [](Vec2 p) {
                // Courses of dressed stone, each block its own shade.
                const float row = std::floor((p.y - 318) / 22);
                const float shift = std::fmod(row, 2.0f) * 30;
                const float col = std::floor((p.x + shift) / 60);
                const float bx = std::fmod(p.x + shift + 600, 60.0f), by = std::fmod(p.y - 318 + 440, 22.0f);
                const float tone = 0.75f + 0.3f * ValueNoise(col * 3.1f, row * 1.7f, 61) +
                                   0.12f * ValueNoise(p.x * 0.2f, p.y * 0.2f, 62);
                Rgba c = Scaled(Mix(Hex(0x8a7466), Hex(0x6a5a58), (p.y - 318) / 290), tone);
                if (bx < 2 || by < 2) c = Scaled(c, 0.55f);
                if (by > 2 && by < 5) c = Scaled(c, 1.15f);
                return c;
              });
    FillShape(img, [](Vec2 p) { return SdPolygon(p, {{-10, 312}, {252, 312}, {256, 324}, {-10, 324}}); },
              [](Vec2 p) { return Mix(Hex(0xd8c0a0), Hex(0x8a7060), (p.y - 312) / 12); });
    {
      BevelStyle hull;
      hull.bevel = 4;
      auto boat = [](Vec2 p) { return SdPolygon(p, {{300, 470}, {420, 470}, {400, 500}, {318, 500}}); };
      DrawShadow(img, boat, 4, 6, 5, 0.4f);
      DrawBevelled(img, boat, [](Vec2 p) { return p.y < 478 ? Hex(0xf4ecdc) : Hex(0x2a5a8a); }, hull);
      FillSolid(img, [](Vec2 p) { return SdSegment(p, {358, 470}, {358, 380}, 1.5f); }, Hex(0x5a3a20));
      DrawBevelled(img, [](Vec2 p) { return SdPolygon(p, {{361, 384}, {361, 462}, {405, 462}}); },
                   [](Vec2) { return Hex(0xf8f0e0); }, hull);
    }
    auto tower = [](Vec2 p) { return SdPolygon(p, {{70, 322}, {80, 150}, {112, 150}, {122, 322}}); };
    BevelStyle st;
    st.bevel = 5;
    st.slope = 0.6f;
    DrawBevelled(img, tower, [](Vec2 p) { return std::fmod(p.y, 44.0f) < 22 ? Hex(0xf4ecdc) : Hex(0xc8382e); }, st);
    DrawBevelled(img, [](Vec2 p) { return SdBox(p, {96, 138}, {20, 12}, 3); }, [](Vec2) { return Hex(0x2a3040); }, st);
    DrawGlow(img, {96, 138}, 90, Hex(0xfff0a0), 0.8f);
    DrawSphere(img, {96, 138}, 8, Hex(0xffe880));
    DrawBevelled(img, [](Vec2 p) { return SdPolygon(p, {{72, 126}, {96, 100}, {120, 126}}); }, [](Vec2) { return Hex(0x8a2a24); }, st);
  }
  return img;
}

Image GameBackground() {
  // Under the board: a sunlit sea floor with caustics, sand and pebbles.
  Image img(800, 600);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      const Vec2 p{x + 0.5f, y + 0.5f};
      const float t = p.y / 600;
      Rgba c = Mix(Hex(0x2a8aa8), Hex(0x1a4a6e), t);
      const float caustic = std::pow(1 - std::fabs(Fbm(p.x * 0.012f, p.y * 0.016f, 8, 4) * 2 - 1), 8.0f);
      c = Mix(c, Hex(0xc8f6ff), caustic * 0.18f);
      const float sand = SmoothStep(480, 560, p.y + 30 * Fbm(p.x * 0.01f, 1, 4, 3));
      c = Mix(c, Mix(Hex(0xd0b07a), Hex(0xa88858), ValueNoise(p.x * 0.3f, p.y * 0.3f, 5)), sand * 0.8f);
      img.At(x, y) = {Clamp01(c.r), Clamp01(c.g), Clamp01(c.b), 1};
    }
  Rng rng(17);
  for (int i = 0; i < 40; ++i) {
    const Vec2 c{rng.Range(0, 800), rng.Range(540, 600)};
    const float r = rng.Range(4, 10);
    DrawSphere(img, c, r, Mix(Hex(0x8a8078), Hex(0xc8b8a0), rng.Uniform()), 0.3f, 10);
  }
  // Light shafts from the surface.
  PaintAll(img, [](Vec2 p) {
    const float s = std::sin((p.x + p.y * 0.35f) * 0.018f) * std::sin((p.x + p.y * 0.35f) * 0.041f);
    return Rgba{1, 1, 0.9f, Clamp01(s) * 0.12f * (1 - p.y / 600)};
  }, Mode::Add);
  return img;
}

Image Cloud(int w, int h, uint32_t seed) {
  Image img(w, h);
  PaintAll(img, [&](Vec2 p) {
    const Vec2 q{(p.x - w / 2.0f) / (w / 2.0f), (p.y - h * 0.6f) / (h * 0.45f)};
    const float n = Fbm(p.x * 0.02f, p.y * 0.03f, seed, 5);
    const float body = 1 - Length(q) + (n - 0.5f) * 0.9f;
    // The noise may reach the picture's border: fade out before it, so a
    // cloud never ends in a straight edge.
    const float edge = SmoothStep(0.0f, 0.18f, std::min(p.x, w - p.x) / w) * SmoothStep(0.0f, 0.2f, std::min(p.y, h - p.y) / h);
    const float a = SmoothStep(0.0f, 0.35f, body) * edge;
    const float shade = 0.85f + 0.25f * Clamp01(-q.y);
    return Rgba{Clamp01(1.0f * shade), Clamp01(0.9f * shade), Clamp01(0.86f * shade), a * 0.9f};
  });
  return img;
}

Image GullStrip() {
  // Four wing positions of a gull seen from afar, 32 x 32 each.
  return Strip(4, 32, [](Image& f, float t) {
    const float lift = std::cos(t * kPi * 1.5f) * 5;
    auto gull = [&](Vec2 p) {
      return std::min(SdSegment(p, {16, 16}, {6, 16 - lift}, 1.2f), SdSegment(p, {16, 16}, {26, 16 - lift}, 1.2f));
    };
    FillSolid(f, gull, Hex(0x2a2a3a));
  });
}

}  // namespace

void GeneratePlayfield(Output& out) {
  out.WritePng("/texture/playfield/cell-wood.png", CellWood());
  out.WritePng("/texture/playfield/cell-iron.png", CellIron());
  out.WritePng("/texture/playfield/frame-line.png", FrameLine());
  out.WritePng("/texture/playfield/frame-deco1.png", FrameOuterCorner());
  out.WritePng("/texture/playfield/frame-deco2.png", FrameInnerCorner());
  out.WritePng("/texture/playfield/select.png", Select());
  out.WritePng("/texture/playfield/keycursor.png", KeyCursor());
}

void GenerateEffects(Output& out) {
  out.WritePng("/texture/effect/black.png", Image(16, 16, Rgba{0, 0, 0, 1}));
  out.WritePng("/texture/effect/flame.png", Flame(80));
  out.WritePng("/texture/effect/fireball.png", Fireball());
  out.WritePng("/texture/effect/shock-small.png", ShockRing(64, 24, 7, Hex(0xa8f0ff)));
  out.WritePng("/texture/effect/glow.png", Glow(64, Hex(0xfff0c0)));
  // Particle strips: eight frames each, played once over a particle's life.
  out.WritePng("/texture/effect/sparkle-strip.png", Strip(8, 32, [](Image& f, float t) {
    const float s = t < 0.3f ? t / 0.3f : 1 - (t - 0.3f) / 0.7f;
    DrawGlow(f, {16, 16}, 6 + 8 * s, Hex(0xfff0b0), 0.6f * s);
    DrawSparkle(f, {16, 16}, 4 + 11 * s, Rgba{1, 1, 1, 1}, s);
  }));
  out.WritePng("/texture/effect/glow-strip.png", Strip(8, 32, [](Image& f, float t) {
    DrawGlow(f, {16, 16}, 8 + 8 * t, Hex(0xffe090), FadeOut(t, 0.2f));
  }));
  out.WritePng("/texture/effect/smoke-strip.png", Strip(8, 32, [](Image& f, float t) {
    SmokePuff(f, {16, 16}, 8 + 7 * t, 0.75f * FadeOut(t, 0.25f), 3);
  }));
  out.WritePng("/texture/effect/splinter-strip.png", Strip(8, 16, [](Image& f, float t) {
    BevelStyle st;
    st.bevel = 1;
    Image layer(16, 16);
    DrawBevelled(layer, [](Vec2 p) { return SdSegment(p, {8, 2}, {8.5f, 14}, 1.3f); },
                 [](Vec2 p) { return Mix(Hex(0xe0a868), Hex(0x8a5428), p.y / 16); }, st);
    Composite(f, layer, 0, 0, FadeOut(t, 0.55f));
  }));
  out.WritePng("/texture/effect/spark-strip.png", Strip(8, 16, [](Image& f, float t) {
    const float len = 6 * (1 - t * 0.6f);
    FillShape(f, [&](Vec2 p) { return SdSegment(p, {8, 8 - len}, {8, 8 + 1}, 1.1f); }, [&](Vec2 p) {
      return Mix(Hex(0xfffbe0), Hex(0xff8a20), Clamp01((8 - p.y) / std::max(1.0f, len)));
    });
    DrawGlow(f, {8, 8}, 5, Hex(0xffc060), 0.8f * FadeOut(t, 0.3f));
  }));
  out.WritePng("/texture/effect/chip-strip.png", Strip(8, 16, [](Image& f, float t) {
    const float a = t * kPi;
    std::vector<Vec2> v = {Rotate({-5, -3}, a), Rotate({4, -4}, a), Rotate({5, 3}, a), Rotate({-3, 4}, a)};
    for (Vec2& p : v) p = p + Vec2{8, 8};
    BevelStyle st;
    st.bevel = 1.5f;
    st.facets = 4;
    Image layer(16, 16);
    DrawBevelled(layer, [&](Vec2 p) { return SdPolygon(p, v); }, [](Vec2) { return Hex(0x9aa0a8); }, st);
    Composite(f, layer, 0, 0, FadeOut(t, 0.6f));
  }));
  out.WritePng("/texture/effect/ring-strip.png", Strip(8, 64, [](Image& f, float t) {
    Composite(f, ShockRing(64, 6 + 24 * t, 3 + 4 * t, Hex(0xfff0c8)), 0, 0, FadeOut(t, 0.3f), Mode::Add);
  }));
  out.WritePng("/texture/effect/flash-strip.png", Strip(8, 64, [](Image& f, float t) {
    Composite(f, Flame(64), 0, 0, FadeOut(t, 0.15f));
    DrawGlow(f, {32, 32}, 20 + 12 * t, Hex(0xfff8e0), FadeOut(t, 0.0f));
  }));
  out.WritePng("/texture/effect/rainbow-strip.png", Strip(8, 32, [](Image& f, float t) {
    DrawGlow(f, {16, 16}, 10 + 4 * t, Hsv(t * 0.85f, 0.6f, 1), FadeOut(t, 0.4f));
    DrawSparkle(f, {16, 16}, 10, Hsv(t * 0.85f + 0.1f, 0.3f, 1), FadeOut(t, 0.4f));
  }));
  for (int kind = 1; kind <= 8; ++kind)
    out.WritePng("/texture/effect/shard" + std::to_string(kind) + "-strip.png",
                 Strip(8, 16, [kind](Image& f, float t) { Shard(f, t, kind, 16); }));
}

void GenerateMap(Output& out) {
  const Image chart = SeaChartImage();
  out.Keep("sea chart (map1-1 ... map3-4.dds)", chart);
  // Tile centres in map units; the chart image starts at (-400, -980).
  const int centreX[4] = {-143, 367, 879, 1166};
  const int centreY[3] = {43, -467, -851};
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 4; ++col) {
      const int w = col < 3 ? 512 : 64, h = row < 2 ? 512 : 256;
      const int left = centreX[col] - w / 2 + 400, top = centreY[row] - h / 2 + 980;
      Image tile(w, h);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          tile.At(x, y) = chart.At(std::clamp(left + x, 0, chart.Width() - 1),
                                   std::clamp(top + y, 0, chart.Height() - 1));
      out.WriteBytes("/texture/map/map" + std::to_string(row + 1) + "-" + std::to_string(col + 1) + ".dds",
                     EncodeDxt1Dds(tile));
    }
}

// The harbour under a veil of `colour`, for pictures that carry text over it.
static Image Veiled(const Image& src, Rgba colour, float amount) {
  Image img = src;
  for (int y = 0; y < img.Height(); ++y)
    for (int x = 0; x < img.Width(); ++x) img.At(x, y) = WithAlpha(Mix(img.At(x, y), colour, amount), img.At(x, y).a);
  return img;
}

// The harbour by night: moonlit blues, and the glow of the lost chest under
// the water where the intro's tale places it.
static Image NightHarbour(const Image& src) {
  Image img = src;
  for (int y = 0; y < img.Height(); ++y)
    for (int x = 0; x < img.Width(); ++x) {
      Rgba& c = img.At(x, y);
      const float grey = 0.3f * c.r + 0.5f * c.g + 0.2f * c.b;
      c = {0.12f * c.r + 0.1f * grey, 0.16f * c.g + 0.14f * grey, 0.3f * c.b + 0.22f * grey, c.a};
    }
  DrawGlow(img, {560, 440}, 120, Hex(0x5ab8ff), 0.55f);
  DrawGlow(img, {95, 137}, 70, Hex(0xfff0b0), 0.8f);
  return img;
}

void GenerateBackgrounds(Output& out) {
  const Image harbour = SunsetHarbour(true);
  out.WritePng("/texture/bg/menu.png", harbour);
  out.WritePng("/texture/intro/dusk.png", Veiled(harbour, Hex(0x0a1626), 0.45f));
  out.WritePng("/texture/intro/night.png", NightHarbour(harbour));
  out.WritePng("/texture/bg/sky.png", SunsetHarbour(false));
  out.WritePng("/texture/bg/game.png", GameBackground());
  out.WritePng("/texture/bg/cloud1.png", Cloud(256, 96, 41));
  out.WritePng("/texture/bg/cloud2.png", Cloud(192, 80, 42));
  out.WritePng("/texture/bg/gull-strip.png", GullStrip());
  out.WritePng("/texture/bg/glint-strip.png", Strip(8, 16, [](Image& f, float t) {
    const float s = std::sin(t * kPi);
    DrawSparkle(f, {8, 8}, 3 + 5 * s, Hex(0xfff4d0), s);
  }));
}

}  // namespace assetgen
