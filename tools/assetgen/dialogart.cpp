// The standard dialogs' pictures: the framed plate, the buttons and the text
// field, with the node files that the dialog screen files name.
#include <algorithm>
#include <cmath>
#include <string>

#include "art.h"
#include "registry.h"

namespace assetgen {
namespace {

// Room around each picture for its shadow, pixels.
constexpr int kMargin = 16;

// Deep harbour-water blue, lighter towards the top.
Rgba PlateAt(Vec2 p, float h) { return Mix(Hex(0x23405a), Hex(0x0e1c2c), Clamp01(p.y / h)); }

Image DialogPlate(int w, int h) {
  Image img(w + 2 * kMargin, h + 2 * kMargin);
  const Vec2 c{float(img.Width()) / 2, float(img.Height()) / 2};
  auto outer = [&](Vec2 p) { return SdBox(p, c, {w / 2.0f, h / 2.0f}, 18); };
  auto inner = [&](Vec2 p) { return SdBox(p, c, {w / 2.0f - 9, h / 2.0f - 9}, 11); };
  DrawShadow(img, outer, 3, 6, 7, 0.6f);
  BevelStyle rim;
  rim.bevel = 4;
  rim.radius = 40;
  DrawBevelled(img, outer, MetalPaint(GoldAt, float(kMargin), float(kMargin + h)), rim);
  // The plate sits below the rim: a dark line first, then the gradient.
  FillSolid(img, [&](Vec2 p) { return inner(p) - 1.5f; }, Hex(0x1a120a));
  FillShape(img, inner, [&](Vec2 p) { return PlateAt(p - Vec2{0, float(kMargin)}, float(h)); });
  // A soft gloss across the upper part and fine waves near the bottom.
  FillShape(img, [&](Vec2 p) { return std::max(inner(p), SdEllipse(p, {c.x, c.y - h * 0.55f}, {w * 0.6f, h * 0.35f})); },
            [](Vec2) { return Hex(0xffffff, 0.06f); });
  for (int i = 0; i < 3; ++i) {
    const float y = float(kMargin + h) - 26.0f - float(i) * 9;
    FillShape(img,
              [&, y](Vec2 p) {
                const float wave = y + 2.5f * std::sin(p.x * 0.07f + float(i));
                return std::max(inner(p), std::abs(p.y - wave) - 0.8f);
              },
              [](Vec2) { return Hex(0x6fa8c8, 0.12f); });
  }
  return img;
}

Image Button(int w, int h) {
  Image img(w + 2 * kMargin, h + 2 * kMargin);
  const Vec2 c{float(img.Width()) / 2, float(img.Height()) / 2};
  auto body = [&](Vec2 p) { return SdBox(p, c, {w / 2.0f, h / 2.0f}, h / 2.0f - 4); };
  DrawShadow(img, body, 1.5f, 3, 3, 0.55f);
  FillSolid(img, [&](Vec2 p) { return body(p) - 1.2f; }, Hex(0x2a1a0c));
  BevelStyle st;
  st.bevel = 5;
  st.radius = 30;
  st.specular = 0.9f;
  DrawBevelled(img, body, [&](Vec2 p) { return Mix(Hex(0xf2c25a), Hex(0xa8661e), Clamp01((p.y - kMargin) / h)); }, st);
  // Glossy upper half.
  FillShape(img,
            [&](Vec2 p) { return std::max(body(p) + 4, p.y - c.y + 2); },
            [&](Vec2 p) { return Hex(0xffffff, 0.28f * (1 - Clamp01((p.y - kMargin) / (h * 0.5f)))); });
  return img;
}

Image TextField(int w, int h) {
  Image img(w + 2 * kMargin, h + 2 * kMargin);
  const Vec2 c{float(img.Width()) / 2, float(img.Height()) / 2};
  auto outer = [&](Vec2 p) { return SdBox(p, c, {w / 2.0f, h / 2.0f}, 8); };
  auto inner = [&](Vec2 p) { return SdBox(p, c, {w / 2.0f - 3, h / 2.0f - 3}, 6); };
  BevelStyle rim;
  rim.bevel = 2;
  DrawBevelled(img, outer, MetalPaint(GoldAt, float(kMargin), float(kMargin + h)), rim);
  // Sunken: dark at the top edge where the rim shades it.
  FillShape(img, inner, [&](Vec2 p) { return Mix(Hex(0x04090f), Hex(0x10202e), Clamp01((p.y - kMargin) / 12)); });
  return img;
}

// The keyboard's focus around a button: a bright silver ring in a sea-green
// glow, which shows on the gold buttons and on the blue plates alike. The
// engine stretches it in nine pieces, so the ring is straight (and the glow
// even) between the corner squares of kFocusCorner texels.
constexpr int kFocusSize = 96;
constexpr int kFocusCorner = 40;
constexpr float kFocusRingInset = 14;  // texels from the picture's edge to the ring's middle
constexpr float kFocusRingRadius = 18;

Image FocusFrame(int, int) {
  Image img(kFocusSize, kFocusSize);
  const Vec2 c{kFocusSize / 2.0f, kFocusSize / 2.0f};
  const float half = kFocusSize / 2.0f - kFocusRingInset;
  static_assert(kFocusRingInset + kFocusRingRadius + 6 <= kFocusCorner, "the ring bends inside the corners only");
  auto ring = [&](Vec2 p) { return std::fabs(SdBox(p, c, {half, half}, kFocusRingRadius)) - 1.7f; };
  Image glow(kFocusSize, kFocusSize);
  FillSolid(glow, [&](Vec2 p) { return ring(p) - 1.5f; }, Hex(0x7ff0e0));
  Composite(img, Blurred(glow, 3.5f), 0, 0, 1, Mode::Add);
  Composite(img, Blurred(glow, 1.5f), 0, 0, 0.6f, Mode::Add);
  BevelStyle st;
  st.bevel = 1.5f;
  st.specular = 1;
  DrawBevelled(img, ring, MetalPaint(SilverAt, kFocusRingInset, kFocusSize - kFocusRingInset), st);
  return img;
}

std::string PictureNode(const std::string& texture, int w, int h) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<node>\n  <texture>" + texture + "</texture>\n  <mesh><width>" +
         std::to_string(w + 2 * kMargin) + "</width><height>" + std::to_string(h + 2 * kMargin) +
         "</height></mesh>\n</node>\n";
}

// A standard dialog's plate, with a veil behind it that dims whatever the
// dialog stands over. The veil is larger than the view, so that it covers it
// at any plate size.
std::string DialogPlateNode() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<!-- A standard dialog's plate, with a veil behind it that dims whatever the\n"
         "     dialog stands over: the screen below is out of play while it shows. The\n"
         "     veil is larger than the view, so that it covers it at any plate size. -->\n"
         "<node>\n"
         "  <texture>/texture/gui/dialog/dialogplate.png</texture>\n"
         "  <mesh><width>" + std::to_string(480 + 2 * kMargin) + "</width><height>" + std::to_string(270 + 2 * kMargin) +
         "</height></mesh>\n"
         "  <node>\n"
         "    <position><x>0</x><y>0</y><z>0.5</z></position>\n"
         "    <texture>/texture/effect/black.png</texture>\n"
         "    <mesh><width>1000</width><height>800</height><color>0xA8FFFFFF</color></mesh>\n"
         "  </node>\n"
         "</node>\n";
}

}  // namespace

void GenerateDialogs(Output& out) {
  struct Picture {
    const char* name;
    int w, h;
    Image (*make)(int, int);
  };
  const Picture pictures[] = {
      {"dialogplate", 480, 270, DialogPlate},
      {"dialogbutton", 160, 46, Button},
      {"dialogfield", 360, 40, TextField},
      // The menus: the main menu's column, the options and profile forms.
      {"menuplate", 340, 540, DialogPlate},
      {"menubutton", 260, 44, Button},
      {"formplate", 560, 480, DialogPlate},
      {"smallbutton", 44, 40, Button},
      {"listmarker", 320, 36, Button},
      // The loader's bar, the treasury and its niches, the highscores' marker,
      // the victory and the credits.
      {"loaderframe", 420, 30, TextField},
      {"treasuryplate", 740, 540, DialogPlate},
      {"treasureniche", 84, 84, TextField},
      {"scoremarker", 250, 26, Button},
      {"victoryplate", 520, 420, DialogPlate},
      {"creditsplate", 640, 560, DialogPlate},
      // The sea chart's buttons and the level name shown over a sphere.
      {"tabbutton", 96, 30, Button},
      {"tabbutton2", 136, 30, Button},
      {"playbutton", 160, 40, Button},
      {"titleplate", 260, 32, TextField},
      // The arcade selection: set tabs and the frames of the level pictures.
      {"pagetab", 112, 30, Button},
      {"levelslot", 92, 80, TextField},
      // The endless board's tally beside it.
      {"endlessplate", 190, 400, DialogPlate},
  };
  for (const Picture& p : pictures) {
    const std::string texture = std::string("/texture/gui/dialog/") + p.name + ".png";
    out.WritePng(texture, p.make(p.w, p.h));
    if (std::string(p.name) != "dialogplate") {
      out.WriteText(std::string("/object/panel/") + p.name + ".xml", PictureNode(texture, p.w, p.h));
    }
  }
  out.WriteText("/object/panel/dialogplate.xml", DialogPlateNode());
  // Drawn by the GUI itself around whichever button has the focus: no node file.
  out.WritePng("/texture/gui/dialog/focusframe.png", FocusFrame(kFocusSize, kFocusSize));
}

}  // namespace assetgen
