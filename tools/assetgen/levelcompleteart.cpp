// The level-complete summary's pictures: a parchment form in a brass frame,
// the engraved dividers between its groups of lines, the medallion behind the
// rank picture, the corner close button and the veil over the level below,
// with the node files that "/gui/levelcompletescreen.xml" names.
#include <algorithm>
#include <cmath>
#include <string>

#include "art.h"
#include "registry.h"

namespace assetgen {
namespace {

// Room around each picture for its shadow, pixels.
constexpr int kMargin = 16;

constexpr int kFormW = 520, kFormH = 540;
constexpr int kDividerW = 440, kDividerH = 14;
constexpr int kMedallionSize = 76;
constexpr int kCloseSize = 34;

// Ink of the engravings: the brown of the captions, a little lighter.
const Rgba kInk = Hex(0x6b4a22);

// Aged paper: warm cream, mottled, browner towards the edges.
Rgba ParchmentAt(Vec2 p, Vec2 c, Vec2 half) {
  const float mottle = Fbm(p.x * 0.018f, p.y * 0.018f, 7u, 4);
  const float fibres = Fbm(p.x * 0.09f, p.y * 0.012f, 11u, 2);
  const float dx = std::abs(p.x - c.x) / half.x, dy = std::abs(p.y - c.y) / half.y;
  const float edge = SmoothStep(0.55f, 1.0f, std::max(dx, dy));
  Rgba base = Mix(Hex(0xf1e2bd), Hex(0xdcc28e), 0.55f * mottle + 0.15f * fibres);
  return Mix(base, Hex(0xb8925a), 0.45f * edge);
}

Image Form(int w, int h) {
  Image img(w + 2 * kMargin, h + 2 * kMargin);
  const Vec2 c{float(img.Width()) / 2, float(img.Height()) / 2};
  auto outer = [&](Vec2 p) { return SdBox(p, c, {w / 2.0f, h / 2.0f}, 20); };
  auto inner = [&](Vec2 p) { return SdBox(p, c, {w / 2.0f - 11, h / 2.0f - 11}, 12); };
  DrawShadow(img, outer, 4, 8, 9, 0.65f);
  BevelStyle rim;
  rim.bevel = 5;
  rim.radius = 40;
  DrawBevelled(img, outer, MetalPaint(GoldAt, float(kMargin), float(kMargin + h)), rim);
  // The paper sits below the rim: a dark line first, then the paper.
  const Vec2 half{w / 2.0f - 11, h / 2.0f - 11};
  FillSolid(img, [&](Vec2 p) { return inner(p) - 1.5f; }, Hex(0x3a2410));
  FillShape(img, inner, [&](Vec2 p) { return ParchmentAt(p, c, half); });
  // The rim's shade falls on the paper's top and left edges.
  FillShape(img, inner, [&](Vec2 p) {
    const float top = p.y - (c.y - half.y), left = p.x - (c.x - half.x);
    const float shade = std::max(1 - SmoothStep(0, 7, top), 1 - SmoothStep(0, 7, left));
    return Hex(0x3a2410, 0.35f * shade);
  });
  // A thin ruled frame inside the paper, like a printed certificate.
  FillShape(img,
            [&](Vec2 p) {
              return std::abs(SdBox(p, c, {w / 2.0f - 24, h / 2.0f - 24}, 6)) - 0.7f;
            },
            [](Vec2) { return WithAlpha(kInk, 0.55f); });
  return img;
}

Image Divider(int w, int h) {
  Image img(w, h);
  const Vec2 c{w / 2.0f, h / 2.0f};
  // An engraved rule, fading out at both ends, with a diamond at its middle.
  FillShape(img, [&](Vec2 p) { return SdSegment(p, {8, c.y}, {float(w) - 8, c.y}, 0.8f); },
            [&](Vec2 p) { return WithAlpha(kInk, 0.85f * (1 - SmoothStep(0.6f, 1.0f, std::abs(p.x - c.x) / (c.x - 8)))); });
  FillShape(img, [&](Vec2 p) { return SdSegment(p, {8, c.y + 1.6f}, {float(w) - 8, c.y + 1.6f}, 0.6f); },
            [&](Vec2 p) { return Hex(0xfff6dc, 0.5f * (1 - SmoothStep(0.6f, 1.0f, std::abs(p.x - c.x) / (c.x - 8)))); });
  const float r = h / 2.0f - 1.5f;
  FillSolid(img, [&](Vec2 p) { return SdPolygon(p, RegularPolygon(c, r, 4, 0)); }, kInk);
  FillSolid(img, [&](Vec2 p) { return SdPolygon(p, RegularPolygon(c, r * 0.45f, 4, 0)); }, Hex(0xf1e2bd));
  return img;
}

Image Medallion(int size) {
  Image img(size + 2 * kMargin, size + 2 * kMargin);
  const Vec2 c{float(img.Width()) / 2, float(img.Height()) / 2};
  const float r = size / 2.0f;
  auto ring = [&](Vec2 p) { return SdCircle(p, c, r); };
  DrawShadow(img, ring, 2, 4, 4, 0.5f);
  BevelStyle st;
  st.bevel = 4;
  st.radius = r;
  DrawBevelled(img, ring, MetalPaint(GoldAt, c.y - r, c.y + r), st);
  // A deep blue well for the picture, lit from the top left.
  auto well = [&](Vec2 p) { return SdCircle(p, c, r - 7); };
  FillSolid(img, [&](Vec2 p) { return well(p) - 1.2f; }, Hex(0x1a120a));
  FillShape(img, well, [&](Vec2 p) {
    const float t = Clamp01(Length(p - (c + Vec2{-r * 0.3f, -r * 0.3f})) / (r * 1.4f));
    return Mix(Hex(0x35618a), Hex(0x0e1c2c), t);
  });
  return img;
}

Image CloseButton(int size) {
  Image img(size + 2 * kMargin, size + 2 * kMargin);
  const Vec2 c{float(img.Width()) / 2, float(img.Height()) / 2};
  const float r = size / 2.0f;
  auto body = [&](Vec2 p) { return SdCircle(p, c, r); };
  DrawShadow(img, body, 1.5f, 3, 3, 0.55f);
  FillSolid(img, [&](Vec2 p) { return body(p) - 1.2f; }, Hex(0x2a1a0c));
  BevelStyle st;
  st.bevel = 4;
  st.radius = r;
  st.specular = 0.9f;
  DrawBevelled(img, body, [&](Vec2 p) { return Mix(Hex(0xf2c25a), Hex(0xa8661e), Clamp01((p.y - c.y + r) / size)); }, st);
  // The cross, pressed into the brass: a light edge below a dark stroke.
  const float a = r * 0.38f;
  auto cross = [&](Vec2 p, Vec2 o) {
    return std::min(SdSegment(p, c + o + Vec2{-a, -a}, c + o + Vec2{a, a}, 2.4f),
                    SdSegment(p, c + o + Vec2{-a, a}, c + o + Vec2{a, -a}, 2.4f));
  };
  FillSolid(img, [&](Vec2 p) { return cross(p, {0.8f, 1.0f}); }, Hex(0xffe9b0, 0.7f));
  FillSolid(img, [&](Vec2 p) { return cross(p, {0, 0}); }, Hex(0x4a2a0c));
  return img;
}

std::string PictureNode(const std::string& texture, int w, int h) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<node>\n  <texture>" + texture + "</texture>\n  <mesh><width>" +
         std::to_string(w) + "</width><height>" + std::to_string(h) + "</height></mesh>\n</node>\n";
}

}  // namespace

void GenerateLevelComplete(Output& out) {
  const std::string dir = "/texture/gui/levelcomplete/";
  out.WritePng(dir + "form.png", Form(kFormW, kFormH));
  out.WriteText("/object/panel/levelcompleteform.xml",
                PictureNode(dir + "form.png", kFormW + 2 * kMargin, kFormH + 2 * kMargin));
  out.WritePng(dir + "divider.png", Divider(kDividerW, kDividerH));
  out.WriteText("/object/panel/levelcompletedivider.xml", PictureNode(dir + "divider.png", kDividerW, kDividerH));
  out.WritePng(dir + "medallion.png", Medallion(kMedallionSize));
  out.WriteText("/object/panel/levelcompletemedallion.xml",
                PictureNode(dir + "medallion.png", kMedallionSize + 2 * kMargin, kMedallionSize + 2 * kMargin));
  out.WritePng(dir + "closebutton.png", CloseButton(kCloseSize));
  out.WriteText("/object/panel/levelcompleteclose.xml",
                PictureNode(dir + "closebutton.png", kCloseSize + 2 * kMargin, kCloseSize + 2 * kMargin));
  // The level below stays in sight, dimmed, so the summary reads as its end.
  out.WriteText("/object/panel/levelcompleteveil.xml",
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<node>\n  <texture>/texture/effect/black.png</texture>\n"
                "  <mesh><width>800</width><height>600</height><color>0xA0FFFFFF</color></mesh>\n</node>\n");
}

}  // namespace assetgen
