// The application icon: a gold-framed tile showing the harbour at sunset with
// a large jewel in front. The desktop asks for it at several sizes; the large
// ones carry the lighthouse and the waves, the small ones only the tile, the
// sea and the jewel, drawn large and shrunk so they stay crisp.
#include <string>

#include "art.h"
#include "registry.h"

namespace assetgen {
namespace {

// Every size drawn at 256 units across; `s` converts units to pixels.
Image DrawIcon(int size, bool detailed) {
  Image img(size, size);
  const float s = float(size) / 256.0f;
  const Vec2 c = Vec2{128, 128} * s;
  const float horizon = 150 * s;
  auto tile = [&](Vec2 p) { return SdBox(p, c, Vec2{114, 114} * s, 46 * s); };
  auto window = [&](Vec2 p) { return SdBox(p, c, Vec2{96, 96} * s, 32 * s); };

  DrawShadow(img, tile, 2 * s, 5 * s, 5 * s, 0.45f);
  // The harbour seen through the frame: evening sky over a dark sea.
  const Vec2 sun = Vec2{176, 142} * s;
  FillShape(img, window, [&](Vec2 p) {
    Rgba col;
    if (p.y < horizon) {
      const float t = (p.y - 32 * s) / (horizon - 32 * s);
      col = t < 0.5f ? Mix(Hex(0x2c3e7a), Hex(0x8a5a9a), Clamp01(t * 2))
                     : Mix(Hex(0x8a5a9a), Hex(0xffb070), (t - 0.5f) * 2);
      col = Mix(col, Hex(0xffe0a0), 0.7f * std::exp(-Length(p - sun) / (60 * s)));
    } else {
      const float t = Clamp01((p.y - horizon) / (224 * s - horizon));
      col = Mix(Hex(0x4a6aa0), Hex(0x14345a), std::sqrt(t));
      if (detailed) {
        // Swell lines that close up towards the horizon, with a glint under the sun.
        const float band = std::sin(std::sqrt(t) * 40 + std::sin(p.x / s * 0.05f) * 1.5f);
        col = Scaled(col, 0.92f + 0.1f * band);
        const float dx = std::fabs(p.x - sun.x) / ((14 + 60 * t) * s);
        col = Mix(col, Hex(0xffe6b0), std::exp(-dx * dx) * SmoothStep(0.6f, 1.0f, band) * 0.7f);
      }
    }
    return Rgba{Clamp01(col.r), Clamp01(col.g), Clamp01(col.b), 1};
  });
  DrawGlow(img, sun, 44 * s, Hex(0xfff2c0), 0.8f);
  if (detailed) {
    // The lighthouse on its quay at the left, its lamp lit.
    Image scene(size, size);
    FillShape(scene, [&](Vec2 p) { return SdPolygon(p * (1 / s), {{20, 146}, {96, 146}, {104, 160}, {20, 160}}); },
              [&](Vec2 p) { return Mix(Hex(0x9a8070), Hex(0x5a4a48), (p.y / s - 146) / 14); });
    BevelStyle st;
    st.bevel = 3 * s;
    st.slope = 0.6f;
    auto tower = [&](Vec2 p) { return SdPolygon(p * (1 / s), {{50, 148}, {56, 78}, {72, 78}, {78, 148}}) * s; };
    DrawBevelled(scene, tower, [&](Vec2 p) {
      return std::fmod(p.y / s, 24.0f) < 12 ? Hex(0xf4ecdc) : Hex(0xc8382e);
    }, st);
    DrawBevelled(scene, [&](Vec2 p) { return SdBox(p, Vec2{64, 72} * s, Vec2{10, 7} * s, 2 * s); },
                 [](Vec2) { return Hex(0x2a3040); }, st);
    DrawBevelled(scene, [&](Vec2 p) { return SdPolygon(p * (1 / s), {{52, 65}, {64, 52}, {76, 65}}) * s; },
                 [](Vec2) { return Hex(0x8a2a24); }, st);
    DrawGlow(scene, Vec2{64, 72} * s, 40 * s, Hex(0xfff0a0), 0.8f);
    DrawSphere(scene, Vec2{64, 72} * s, 4.5f * s, Hex(0xffe880));
    // Kept inside the frame's window.
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        const float cov = Coverage(window({x + 0.5f, y + 0.5f}));
        Rgba& px = scene.At(x, y);
        px.a *= cov;
      }
    Composite(img, scene, 0, 0);
  }

  // The gold frame.
  BevelStyle frame;
  frame.bevel = 9 * s;
  frame.specular = 0.9f;
  DrawBevelled(img, [&](Vec2 p) { return std::max(tile(p), -window(p)); }, MetalPaint(GoldAt, 14 * s, 242 * s),
               frame);

  // The jewel in front: the board's round brilliant, in ruby.
  const Vec2 jc = detailed ? Vec2{152, 158} * s : Vec2{134, 140} * s;
  const float jr = (detailed ? 66 : 90) * s;
  DrawGem(img, [&](Vec2 p) { return SdCircle(p, jc, jr * 0.9f); }, jc, jr, JewelColour(1), JewelFacets(8),
          false);
  DrawSparkle(img, jc + Vec2{-0.4f, -0.45f} * jr, jr * 0.55f, Rgba{1, 1, 1, 1}, 1);
  if (detailed) DrawSparkle(img, Vec2{206, 214} * s, 18 * s, Rgba{1, 1, 0.9f, 1}, 0.8f);
  return img;
}

}  // namespace

const std::vector<int>& IconSizes() {
  static const std::vector<int> sizes = {16, 32, 48, 64, 128, 256};
  return sizes;
}

std::string IconPath(int size) {
  const std::string n = std::to_string(size);
  return "/hicolor/" + n + "x" + n + "/apps/example.brinestoneharbour.Brinestoneharbour.png";
}

Image ApplicationIcon(int size) {
  // Below 64 pixels the picture is drawn at 128 and shrunk: the frame and the
  // jewel keep their edges, and the scene leaves out what would be a smudge.
  if (size < 64) return Resized(DrawIcon(128, false), size, size);
  return DrawIcon(size, true);
}

void GenerateIcons(Output& out) {
  for (int size : IconSizes()) out.WritePng(IconPath(size), ApplicationIcon(size));
}

}  // namespace assetgen
