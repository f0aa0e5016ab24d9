// The pictures and node files of the loader, the intro, the treasury, the
// highscores, the victory and the credits: the harbour crest of the title
// card, the loader's glowing bar, and the scenes that the screen files name.
#include <cmath>
#include <string>

#include "art.h"
#include "registry.h"

namespace assetgen {
namespace {

constexpr float kPi = 3.14159265f;

// The game's crest: a gold ring around a harbour-blue plate with waves, a
// large sapphire in the middle and four small jewels at the compass points.
Image Crest(int size) {
  Image img(size, size);
  const float s = float(size);
  const Vec2 c{s / 2, s / 2};
  const float ring = s * 0.44f;
  const float plate = s * 0.36f;
  auto outer = [&](Vec2 p) { return SdCircle(p, c, ring); };
  auto inner = [&](Vec2 p) { return SdCircle(p, c, plate); };
  DrawShadow(img, outer, 3, 6, 8, 0.6f);
  BevelStyle rim;
  rim.bevel = s * 0.035f;
  rim.radius = ring;
  rim.centre = c;
  DrawBevelled(img, outer, MetalPaint(GoldAt, c.y - ring, c.y + ring), rim);
  // Rivets around the ring.
  for (int i = 0; i < 16; ++i) {
    const float a = float(i) * 2 * kPi / 16 + kPi / 16;
    const Vec2 at = c + Vec2{std::cos(a), std::sin(a)} * ((ring + plate) / 2);
    DrawSphere(img, at, s * 0.014f, Hex(0xf6d27a), 0.8f);
  }
  FillSolid(img, [&](Vec2 p) { return inner(p) - 1.5f; }, Hex(0x1a120a));
  FillShape(img, inner, [&](Vec2 p) { return Mix(Hex(0x2f5a80), Hex(0x0c1a2a), Clamp01((p.y - (c.y - plate)) / (2 * plate))); });
  for (int i = 0; i < 4; ++i) {
    const float y = c.y + plate * (0.25f + 0.16f * float(i));
    FillShape(img,
              [&, y, i](Vec2 p) {
                const float wave = y + s * 0.012f * std::sin(p.x * 0.09f + float(i) * 1.3f);
                return std::max(inner(p), std::abs(p.y - wave) - 1.0f);
              },
              [](Vec2) { return Hex(0x8fc8e8, 0.22f); });
  }
  DrawGlow(img, c, plate * 0.9f, Hex(0x60a8ff), 0.35f);
  DrawJewel(img, 3, c, s * 0.15f, true);
  const int kinds[4] = {1, 2, 4, 5};
  for (int i = 0; i < 4; ++i) {
    const float a = float(i) * kPi / 2 - kPi / 2;
    DrawJewel(img, kinds[i], c + Vec2{std::cos(a), std::sin(a)} * (plate * 0.7f), s * 0.055f, false);
  }
  DrawSparkle(img, c + Vec2{-s * 0.07f, -s * 0.08f}, s * 0.09f, Hex(0xffffff), 0.9f);
  return img;
}

// The loader's fill: a glowing sea-green tube, brighter along its middle.
Image GlowBar(int w, int h) {
  Image img(w, h);
  const Vec2 c{float(w) / 2, float(h) / 2};
  auto body = [&](Vec2 p) { return SdBox(p, c, {float(w) / 2 - 1, float(h) / 2 - 1}, float(h) / 2 - 1); };
  FillShape(img, body, [&](Vec2 p) {
    const float t = std::abs(p.y - c.y) / (float(h) / 2);
    return Mix(Hex(0x9ff4e0), Hex(0x15806e), Clamp01(t * 1.2f));
  });
  FillShape(img, [&](Vec2 p) { return std::max(body(p) + 2, p.y - c.y + 1); },
            [](Vec2) { return Hex(0xffffff, 0.3f); });
  return img;
}

std::string Picture(const std::string& texture, int w, int h, const std::string& extra = "") {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<node>\n  <texture>" + texture + "</texture>\n  <mesh><width>" +
         std::to_string(w) + "</width><height>" + std::to_string(h) + "</height></mesh>\n" + extra + "</node>\n";
}

// A child picture at (x, y), drawn behind siblings with a larger z.
std::string Child(const std::string& texture, int w, int h, float x, float y, float z, const std::string& colour = "",
                  float scale = 1) {
  std::string s = "  <node>\n    <texture>" + texture + "</texture>\n    <mesh><width>" + std::to_string(w) +
                  "</width><height>" + std::to_string(h) + "</height>" +
                  (colour.empty() ? "" : "<color>" + colour + "</color>") + "</mesh>\n";
  s += "    <position><x>" + std::to_string(int(x)) + "</x><y>" + std::to_string(int(y)) + "</y><z>" +
       std::to_string(z) + "</z></position>\n";
  if (scale != 1) {
    const std::string v = std::to_string(scale);
    s += "    <scale><x>" + v + "</x><y>" + v + "</y></scale>\n";
  }
  return s + "  </node>\n";
}

// Glints on the water and a gull crossing now and then.
std::string WaterLife(float glintX, float glintY) {
  std::string s;
  for (int i = 0; i < 3; ++i) {
    s += "  <node>\n    <position><x>" + std::to_string(int(glintX)) + "</x><y>" +
         std::to_string(int(glintY) + 60 * i) +
         "</y></position>\n    <texture>/texture/bg/glint-strip.png</texture>\n"
         "    <mesh><width>16</width><height>16</height><color>0xFFFFFFFF</color></mesh>\n"
         "    <animation><enabled>1</enabled><framebegin>0</framebegin><frameend>7</frameend><currentframe>0</currentframe>"
         "<fps>10</fps><isplaying>1</isplaying><islooped>0</islooped><isforward>1</isforward></animation>\n"
         "    <lifetime>790</lifetime>\n    <velocity><x>1</x><y>0</y></velocity>\n"
         "    <prototype><count>1</count><optional/><spawnrate>160</spawnrate><randomvelocity>" +
         std::to_string(30 + 14 * i) + "</randomvelocity></prototype>\n  </node>\n";
  }
  s += "  <node>\n    <position><x>-440</x><y>-170</y></position>\n    <texture>/texture/bg/gull-strip.png</texture>\n"
       "    <mesh><width>32</width><height>32</height><color>0xFFFFFFFF</color></mesh>\n"
       "    <animation><enabled>1</enabled><framebegin>0</framebegin><frameend>3</frameend><currentframe>0</currentframe>"
       "<fps>6</fps><isplaying>1</isplaying><islooped>1</islooped><isforward>1</isforward></animation>\n"
       "    <lifetime>24000</lifetime>\n    <velocity><x>60</x><y>-4</y></velocity>\n"
       "    <prototype><count>1</count><spawnrate>6000</spawnrate></prototype>\n  </node>\n";
  return s;
}

const char* kAwardKeys[] = {"quest_map1",       "quest_map2",       "quest_map3",       "quest_map4",
                            "quest_map5",       "quest_map6",       "quest_map7",       "quest_map8",
                            "arcade_complete1", "arcade_complete2", "arcade_complete3", "arcade_complete4",
                            "arcade_best1",     "arcade_best2",     "arcade_best3",     "arcade_best4",
                            "finalquest_complete", "arcade_complete_all", "total_complete"};

}  // namespace

void GenerateIntro(Output& out) {
  const std::string header = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<node>\n";
  out.WritePng("/texture/intro/crest.png", Crest(224));
  out.WritePng("/texture/intro/loaderfill.png", GlowBar(404, 16));
  out.WriteText("/object/panel/loaderfill.xml", Picture("/texture/intro/loaderfill.png", 404, 16));

  // The loader and the title card: the harbour at sunset, its crest.
  // The glint that rides the loader's bar: a twinkle that never ends.
  out.WriteText("/object/panel/loaderglint.xml",
                Picture("/texture/effect/sparkle-strip.png", 32, 32,
                        "  <animation><enabled>1</enabled><framebegin>0</framebegin><frameend>7</frameend>"
                        "<currentframe>0</currentframe><fps>12</fps><isplaying>1</isplaying><islooped>1</islooped>"
                        "<isforward>1</isforward></animation>\n"));
  // Pictures of components are drawn in their own colours, so the veils and
  // the night are in the textures themselves.
  out.WriteText("/object/bg/loader.xml", Picture("/texture/intro/dusk.png", 800, 600));
  out.WriteText("/object/bg/titlecard.xml",
                header + Child("/texture/intro/dusk.png", 800, 600, 0, 0, 3) +
                    Child("/texture/intro/crest.png", 224, 224, 0, -60, 1) + WaterLife(160, 80) + "</node>\n");
  // The tale: the harbour by night, the lost chest glowing under the waves.
  out.WriteText("/object/bg/tale.xml",
                header + Child("/texture/intro/night.png", 800, 600, 0, 0, 3) +
                    Child("/texture/gui/treasure/total_complete.png", 96, 96, 160, 130, 1, "", 1.4f) +
                    WaterLife(160, 40) + "</node>\n");

  // The treasures in their niches.
  for (const char* key : kAwardKeys) {
    const std::string texture = std::string("/texture/gui/treasure/") + key + ".png";
    out.WriteText(std::string("/object/panel/treasure-") + key + ".xml", Picture(texture, 96, 96));
  }
}

}  // namespace assetgen
