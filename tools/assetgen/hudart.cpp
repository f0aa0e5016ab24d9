// The game screen's HUD: the brass side rail with its pause and close
// buttons, the time tube and its fill, the bottom rail under the score and
// objectives, the message plate, and the node files the screen files name.
#include <algorithm>
#include <cmath>
#include <string>

#include "art.h"
#include "registry.h"

namespace assetgen {
namespace {

// The side rail right of the board and the bottom rail below it, in view pixels.
constexpr int kRailWidth = 48;
constexpr int kRailHeight = 600;
constexpr int kBottomWidth = 704;
constexpr int kBottomHeight = 22;
constexpr int kButton = 38;
constexpr int kTubeWidth = 22;
constexpr int kTubeHeight = 404;

Rgba WoodAt(Vec2 p) {
  const float grain = 0.5f + 0.5f * std::sin(p.y * 0.21f + 3.0f * std::sin(p.x * 0.05f));
  return Mix(Hex(0x3a2414), Hex(0x57361c), grain * 0.6f);
}

Image SideRail() {
  Image img(kRailWidth, kRailHeight);
  auto body = [&](Vec2 p) { return SdBox(p, {kRailWidth / 2.0f, kRailHeight / 2.0f}, {kRailWidth / 2.0f - 2, kRailHeight / 2.0f}, 6); };
  FillShape(img, body, WoodAt);
  // A brass strip down the inner edge, facing the board.
  BevelStyle rim;
  rim.bevel = 2;
  DrawBevelled(img, [&](Vec2 p) { return SdBox(p, {5, kRailHeight / 2.0f}, {3, kRailHeight / 2.0f}, 2); },
               MetalPaint(GoldAt, 0, float(kRailHeight)), rim);
  return img;
}

Image BottomRail() {
  Image img(kBottomWidth, kBottomHeight);
  auto body = [&](Vec2 p) {
    return SdBox(p, {kBottomWidth / 2.0f, kBottomHeight / 2.0f}, {kBottomWidth / 2.0f - 1, kBottomHeight / 2.0f - 1}, 8);
  };
  FillShape(img, body, [](Vec2 p) { return Mix(Hex(0x0b1622, 0.92f), Hex(0x050a10, 0.92f), Clamp01(p.y / kBottomHeight)); });
  FillShape(img, [&](Vec2 p) { return std::max(body(p), std::abs(p.y - 1.5f) - 0.8f); },
            [](Vec2) { return Hex(0xd8a548, 0.8f); });
  return img;
}

Image RoundButton(bool pause) {
  const int size = kButton + 8;
  Image img(size, size);
  const Vec2 c{size / 2.0f, size / 2.0f};
  auto body = [&](Vec2 p) { return SdCircle(p, c, kButton / 2.0f); };
  DrawShadow(img, body, 1, 2, 2, 0.5f);
  BevelStyle st;
  st.bevel = 4;
  st.radius = 24;
  st.specular = 0.8f;
  DrawBevelled(img, body, MetalPaint(GoldAt, 4, float(size - 4)), st);
  FillSolid(img, [&](Vec2 p) { return SdCircle(p, c, kButton / 2.0f - 6); }, Hex(0x203a52));
  const Rgba mark = Hex(0xf6e6c0);
  if (pause) {
    FillSolid(img, [&](Vec2 p) { return SdBox(p, {c.x - 4.5f, c.y}, {2.5f, 7.5f}, 1); }, mark);
    FillSolid(img, [&](Vec2 p) { return SdBox(p, {c.x + 4.5f, c.y}, {2.5f, 7.5f}, 1); }, mark);
  } else {
    FillSolid(img, [&](Vec2 p) { return SdSegment(p, {c.x - 6, c.y - 6}, {c.x + 6, c.y + 6}, 2.2f); }, mark);
    FillSolid(img, [&](Vec2 p) { return SdSegment(p, {c.x - 6, c.y + 6}, {c.x + 6, c.y - 6}, 2.2f); }, mark);
  }
  return img;
}

Image TimeTube() {
  Image img(kTubeWidth + 8, kTubeHeight + 8);
  const Vec2 c{img.Width() / 2.0f, img.Height() / 2.0f};
  auto outer = [&](Vec2 p) { return SdBox(p, c, {kTubeWidth / 2.0f, kTubeHeight / 2.0f}, kTubeWidth / 2.0f); };
  BevelStyle rim;
  rim.bevel = 3;
  DrawBevelled(img, outer, MetalPaint(GoldAt, 4, float(kTubeHeight + 4)), rim);
  FillSolid(img, [&](Vec2 p) { return SdBox(p, c, {kTubeWidth / 2.0f - 4, kTubeHeight / 2.0f - 4}, kTubeWidth / 2.0f - 4); },
            Hex(0x061018));
  return img;
}

// The fill of the tube, sea green at the top to amber near the bottom; the
// game screen shortens it from the top as time runs out.
Image TimeFill() {
  const int w = kTubeWidth - 10, h = kTubeHeight - 10;
  Image img(w, h);
  FillShape(img, [&](Vec2 p) { return SdBox(p, {w / 2.0f, h / 2.0f}, {w / 2.0f, h / 2.0f}, w / 2.0f); },
            [&](Vec2 p) {
              const Rgba base = Mix(Hex(0x46d0a8), Hex(0x2a8fd0), Clamp01(p.y / h));
              // A glassy highlight along the left side.
              return Mix(base, Hex(0xffffff), 0.35f * Clamp01(1 - std::abs(p.x - w * 0.3f) / 2.5f));
            });
  return img;
}

Image MessagePlate() {
  const int w = 560, h = 110;
  Image img(w + 24, h + 24);
  const Vec2 c{img.Width() / 2.0f, img.Height() / 2.0f};
  auto body = [&](Vec2 p) { return SdBox(p, c, {w / 2.0f, h / 2.0f}, 22); };
  DrawShadow(img, body, 2, 4, 6, 0.5f);
  FillShape(img, body, [&](Vec2 p) { return Mix(Hex(0x10263a, 0.88f), Hex(0x061220, 0.88f), Clamp01((p.y - 12) / h)); });
  FillShape(img, [&](Vec2 p) { return std::abs(body(p) + 3) - 1.2f; }, [](Vec2) { return Hex(0xd8a548, 0.9f); });
  return img;
}

std::string Node(const std::string& texture, int w, int h) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<node>\n  <texture>" + texture + "</texture>\n  <mesh><width>" +
         std::to_string(w) + "</width><height>" + std::to_string(h) + "</height></mesh>\n</node>\n";
}

// Jewels of any colour count: three of different colours, overlapping, so
// that the icon does not read as one colour only.
std::string JewelsIcon() {
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<node>\n";
  const struct { int kind; int x, y; } jewels[] = {{5, -5, 3}, {3, 5, 3}, {1, 0, -4}};
  float z = 0.0f;
  for (const auto& jewel : jewels) {
    text += "  <node>\n    <position><x>" + std::to_string(jewel.x) + "</x><y>" + std::to_string(jewel.y) +
            "</y><z>" + std::to_string(z) + "</z></position>\n    <texture>/texture/piece/piece" +
            std::to_string(jewel.kind) + "-small.png</texture>\n    <mesh><width>24</width><height>24</height><boundwidth>14</boundwidth><boundheight>14</boundheight></mesh>\n  </node>\n";
    z -= 0.01f;
  }
  return text + "</node>\n";
}

void Write(Output& out, const std::string& name, const Image& img) {
  const std::string texture = "/texture/gui/hud/" + name + ".png";
  out.WritePng(texture, img);
  out.WriteText("/object/panel/" + name + ".xml", Node(texture, img.Width(), img.Height()));
}

}  // namespace

void GenerateHud(Output& out) {
  Write(out, "siderail", SideRail());
  Write(out, "bottomrail", BottomRail());
  Write(out, "pausebutton", RoundButton(true));
  Write(out, "closebutton", RoundButton(false));
  Write(out, "timetube", TimeTube());
  Write(out, "timefill", TimeFill());
  Write(out, "messageplate", MessagePlate());
  // The objectives' icons reuse the board's own pictures, small.
  out.WriteText("/object/panel/staticon-blocks.xml", Node("/texture/piece/block-stone.png", 18, 18));
  out.WriteText("/object/panel/staticon-cells.xml", Node("/texture/playfield/cell-wood.png", 18, 18));
  out.WriteText("/object/panel/staticon-jewels.xml", JewelsIcon());
}

}  // namespace assetgen
