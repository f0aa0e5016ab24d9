// Board pieces: the eight jewels, the specials, keys, locks, blocks and artifacts.
#include <string>

#include "art.h"
#include "registry.h"

namespace assetgen {
namespace {

constexpr float kPi = 3.14159265f;

// Rope fuse along a quadratic curve, with a burning tip.
void DrawFuse(Image& img, Vec2 a, Vec2 ctrl, Vec2 b) {
  auto at = [&](float t) {
    return a * ((1 - t) * (1 - t)) + ctrl * (2 * t * (1 - t)) + b * (t * t);
  };
  std::vector<Vec2> pts;
  for (int i = 0; i <= 24; ++i) pts.push_back(at(float(i) / 24));
  auto rope = [&](Vec2 p) {
    float d = 1e9f;
    for (size_t i = 1; i < pts.size(); ++i) d = std::min(d, SdSegment(p, pts[i - 1], pts[i], 1.8f));
    return d;
  };
  BevelStyle st;
  st.bevel = 1.6f;
  st.specular = 0.3f;
  DrawBevelled(img, rope, [&](Vec2 p) {
    // Twisted strands: stripes across the rope.
    const float s = std::sin((p.x + p.y) * 1.6f);
    return Mix(Hex(0x8a6a3c), Hex(0xd8b880), 0.5f + 0.5f * s);
  }, st);
  DrawGlow(img, b, 11, Hex(0xffa020), 0.9f);
  DrawGlow(img, b, 5, Hex(0xfff6c0), 1.0f);
  DrawSparkle(img, b, 9, Hex(0xfff0a0), 1.0f);
}

Image Bomb() {
  Image img(64, 64);
  const Vec2 c{30, 36};
  DrawShadow(img, [&](Vec2 p) { return SdCircle(p, c, 20); }, 2, 3, 2.5f, 0.5f);
  DrawSphere(img, c, 20, Hex(0x34405e), 1.0f, 26);
  // Brass cap where the fuse enters.
  const Vec2 capC{44, 21};
  auto cap = [&](Vec2 p) { return SdBox(Rotate(p - capC, -0.75f), {0, 0}, {6, 4}, 1.5f); };
  BevelStyle st;
  st.bevel = 2;
  DrawBevelled(img, cap, MetalPaint(GoldAt, 16, 26), st);
  DrawFuse(img, {47, 17}, {50, 6}, {57, 8});
  return img;
}

Image Dynamite() {
  Image img(64, 64);
  const float xs[3] = {21, 32, 43};
  const float ys[3] = {36, 33, 36};
  for (int i = 0; i < 3; ++i)
    DrawShadow(img, [&](Vec2 p) { return SdBox(p, {xs[i], ys[i]}, {6.5f, 19}, 3); }, 2, 3, 2, 0.45f);
  for (int i : {0, 2, 1}) {
    const Vec2 c{xs[i], ys[i]};
    FillShape(img, [&](Vec2 p) { return SdBox(p, c, {6.5f, 19}, 3); }, [&](Vec2 p) {
      // Paper tube: cylindrical light across, darker ends.
      const float u = (p.x - c.x) / 6.5f;
      const float lit = 0.55f + 0.55f * std::cos((u + 0.35f) * 1.3f) - 0.2f * u * u;
      Rgba col = Scaled(Hex(0xd8342a), lit);
      if (std::fabs(p.y - c.y) > 16) col = Scaled(Hex(0xf0d8a8), lit * 0.9f);
      return Rgba{Clamp01(col.r), Clamp01(col.g), Clamp01(col.b), 1};
    });
  }
  // Binding tape across all three sticks.
  FillShape(img, [](Vec2 p) { return SdBox(p, {32, 40}, {19, 3.2f}, 1.5f); }, [](Vec2 p) {
    const float t = (p.y - 37) / 6.4f;
    return Scaled(Hex(0x2a2f3c), 1.3f - 0.7f * t);
  });
  DrawFuse(img, {32, 15}, {34, 4}, {45, 7});
  return img;
}

Image Cannon() {
  Image img(64, 64);
  // Carriage and wheel below the barrel.
  auto carriage = [](Vec2 p) {
    return SdPolygon(p, {{10, 37}, {40, 37}, {44, 46}, {8, 48}}) - 1.5f;
  };
  DrawShadow(img, carriage, 2, 3, 2, 0.45f);
  BevelStyle wood;
  wood.bevel = 2.5f;
  DrawBevelled(img, carriage, [](Vec2 p) {
    const float g = 0.5f + 0.5f * std::sin(p.y * 1.7f + std::sin(p.x * 0.3f) * 2);
    return Mix(Hex(0x7a4a22), Hex(0xa86c36), g);
  }, wood);
  const Vec2 wc{21, 48};
  auto wheel = [&](Vec2 p) {
    const float ring = std::fabs(SdCircle(p, wc, 9)) - 2.2f;
    float spokes = 1e9f;
    for (int i = 0; i < 4; ++i) {
      const Vec2 d = Rotate({9, 0}, float(i) * kPi / 4);
      spokes = std::min(spokes, SdSegment(p, wc - d, wc + d, 1.1f));
    }
    return std::min({ring, spokes, SdCircle(p, wc, 2.6f)});
  };
  DrawShadow(img, wheel, 1.5f, 2, 1.5f, 0.5f);
  DrawBevelled(img, wheel, [](Vec2) { return Hex(0x6a3e1c); }, wood);
  // Barrel: a tapered iron tube with bronze rings.
  auto barrel = [](Vec2 p) {
    const float body = SdPolygon(p, {{9, 22}, {55, 26.5f}, {55, 37.5f}, {9, 42}}) - 1;
    const float muzzle = SdBox(p, {56, 32}, {3.5f, 7.5f}, 1.5f);
    const float breech = SdCircle(p, {8, 32}, 9.5f);
    const float knob = SdCircle(p, {2.5f, 32}, 3);
    return std::min({body, muzzle, breech, knob});
  };
  DrawShadow(img, barrel, 2, 3, 2.5f, 0.5f);
  BevelStyle iron;
  iron.bevel = 3;
  iron.slope = 0.5f;
  iron.specular = 0.9f;
  DrawBevelled(img, barrel, [](Vec2 p) {
    const float t = Clamp01((p.y - 22) / 20);
    const float lit = 0.95f - 0.6f * t + 0.3f * std::exp(-std::pow((t - 0.2f) * 6, 2.0f));
    const bool ring = (p.x > 20 && p.x < 24) || (p.x > 40 && p.x < 43) || p.x > 52.5f;
    return ring ? BronzeAt(lit * 0.9f) : SilverAt(lit * 0.62f);
  }, iron);
  // Dark bore at the muzzle.
  FillSolid(img, [](Vec2 p) { return SdEllipse(p, {59, 32}, {1.6f, 4.2f}); }, Hex(0x10121a));
  return img;
}

Image Rainbow() {
  Image img(64, 64);
  const Vec2 c{32, 32};
  DrawGlow(img, c, 31, Hex(0xfff4d0), 0.55f);
  const Vec3 light = LightDir();
  FillShape(img, [&](Vec2 p) { return SdCircle(p, c, 21); }, [&](Vec2 p) {
    const Vec2 q = (p - c) * (1.0f / 21);
    const float rr = Length(q);
    const float hue = std::atan2(q.y, q.x) / (2 * kPi) + rr * 0.55f;
    const Vec3 n = Normalized({q.x, q.y, std::sqrt(std::max(0.0f, 1 - rr * rr))});
    const float diff = std::max(0.0f, Dot3(n, light));
    Rgba col = Hsv(hue, 0.75f - 0.35f * (1 - rr), 1.0f);
    col = Scaled(col, 0.45f + 0.7f * diff);
    const float core = std::exp(-rr * rr * 5);
    col = Mix(col, Rgba{1, 1, 1, 1}, core * 0.6f);
    col.a = 1;
    return Rgba{Clamp01(col.r), Clamp01(col.g), Clamp01(col.b), 1};
  });
  // Swirling bands of light inside the orb.
  FillShape(img, [&](Vec2 p) { return SdCircle(p, c, 20); }, [&](Vec2 p) {
    const Vec2 q = (p - c) * (1.0f / 20);
    const float a = std::atan2(q.y, q.x) + Length(q) * 5;
    return Rgba{1, 1, 1, 0.22f * std::pow(0.5f + 0.5f * std::sin(a * 3), 6.0f)};
  }, Mode::Add);
  FillShape(img, [&](Vec2 p) {
    return std::max(SdCircle(p, c, 19), SdEllipse(Rotate(p - Vec2{25, 22}, 0.6f), {0, 0}, {8, 4}));
  }, [](Vec2) { return Rgba{1, 1, 1, 0.7f}; });
  DrawSparkle(img, {22, 20}, 10, Rgba{1, 1, 1, 1}, 1);
  DrawSparkle(img, {45, 44}, 6, Rgba{1, 1, 1, 1}, 0.7f);
  return img;
}

Image Key(int size) {
  Image img(size, size);
  const float s = float(size) / 40.0f;
  const Vec2 c{20 * s, 20 * s};
  auto shape = [&](Vec2 p) {
    const float ring = std::fabs(SdCircle(p, c, 13.5f * s)) - 3.2f * s;
    const float shaft = SdSegment(p, c + Vec2{9, 9} * s, Vec2{37, 37} * s, 2.4f * s);
    // A three-lobed bow around the ring, opposite the shaft.
    float lobes = 1e9f;
    for (float a : {0.75f, 1.25f, 1.75f})
      lobes = std::min(lobes, SdCircle(p, c + Vec2{std::cos((a + 0.25f) * kPi), std::sin((a + 0.25f) * kPi)} * (15.5f * s), 3.6f * s));
    // Two teeth stand off the shaft towards the upper right.
    const float tooth1 = SdSegment(p, Vec2{31, 31} * s, Vec2{36, 26} * s, 2.0f * s);
    const float tooth2 = SdSegment(p, Vec2{35.5f, 35.5f} * s, Vec2{39, 32} * s, 2.0f * s);
    return std::min({ring, shaft, tooth1, tooth2, lobes});
  };
  DrawShadow(img, shape, 1.2f * s, 2 * s, 1.5f * s, 0.55f);
  BevelStyle st;
  st.bevel = 2.2f * s;
  st.specular = 0.9f;
  DrawBevelled(img, shape, MetalPaint(GoldAt, 4 * s, 38 * s), st);
  // The ring stays open: the jewel of the key's colour shows through it.
  return img;
}

Image Lock() {
  Image img(40, 40);
  const Vec2 c{20, 21};
  auto shackle = [](Vec2 p) {
    const float arc = std::fabs(SdCircle(p, {20, 10}, 8.5f)) - 2.4f;
    return std::max(arc, p.y - 12);
  };
  // A round window in the body shows the jewel of the lock's colour.
  auto body = [&](Vec2 p) { return std::max(SdBox(p, c, {16.5f, 13.5f}, 4), -SdCircle(p, {20, 20}, 10.6f)); };
  DrawShadow(img, [&](Vec2 p) { return std::min(body(p), shackle(p)); }, 1.2f, 2, 1.5f, 0.55f);
  BevelStyle st;
  st.bevel = 2;
  st.specular = 0.9f;
  DrawBevelled(img, shackle, MetalPaint(SilverAt, 0, 14), st);
  st.bevel = 3;
  DrawBevelled(img, body, MetalPaint(GoldAt, 7, 35), st);
  // Rivets at the body's corners.
  for (Vec2 r : {Vec2{7, 11}, Vec2{33, 11}, Vec2{7, 31}, Vec2{33, 31}})
    DrawSphere(img, r, 1.5f, Hex(0xb08030), 0.8f, 12);
  return img;
}

Image KeyGlowing() {
  Image img(128, 128);
  const Vec2 bow{34, 64};
  auto shape = [&](Vec2 p) {
    const float ring = std::fabs(SdCircle(p, bow, 17)) - 5;
    const float shaft = SdBox(p, {72, 64}, {36, 4.5f}, 2);
    const float t1 = SdBox(p, {98, 74}, {4, 8}, 1.5f);
    const float t2 = SdBox(p, {86, 72}, {3, 6}, 1.5f);
    const float tip = SdCircle(p, {108, 64}, 6);
    return std::min({ring, shaft, t1, t2, tip});
  };
  Image halo(128, 128);
  FillSolid(halo, shape, Hex(0xffd860));
  Composite(img, Blurred(halo, 14), 0, 0, 1.0f, Mode::Add);
  Composite(img, Blurred(halo, 5), 0, 0, 0.8f, Mode::Add);
  BevelStyle st;
  st.bevel = 4;
  st.specular = 1;
  DrawBevelled(img, shape, MetalPaint(GoldAt, 44, 84), st);
  DrawSparkle(img, {24, 52}, 16, Rgba{1, 1, 1, 1}, 1);
  DrawSparkle(img, {96, 60}, 10, Rgba{1, 1, 0.8f, 1}, 0.8f);
  return img;
}

// Brass compass medallion used as the level's hidden treasure.
Image Compass(int size) {
  Image img(size, size);
  const float s = float(size) / 64.0f;
  const Vec2 c{32 * s, 32 * s};
  DrawShadow(img, [&](Vec2 p) { return SdCircle(p, c, 27 * s); }, 1.5f * s, 2.5f * s, 2 * s, 0.55f);
  BevelStyle st;
  st.bevel = 4 * s;
  st.centre = c;
  st.radius = 27 * s;
  DrawBevelled(img, [&](Vec2 p) { return SdCircle(p, c, 27 * s); }, MetalPaint(GoldAt, 5 * s, 59 * s), st);
  FillShape(img, [&](Vec2 p) { return SdCircle(p, c, 20.5f * s); }, [&](Vec2 p) {
    const float t = Length(p - c) / (20.5f * s);
    return Mix(Hex(0x1d4a72), Hex(0x0b1c34), t);
  });
  // Compass rose: long cardinal points, short diagonal ones.
  auto rose = [&](Vec2 p) {
    const Vec2 q = (p - c) * (1 / s);
    return SdPolygon(q, StarPolygon({0, 0}, 18, 4.5f, 4, -kPi / 2));
  };
  auto rose2 = [&](Vec2 p) {
    const Vec2 q = (p - c) * (1 / s);
    return SdPolygon(q, StarPolygon({0, 0}, 11, 3.5f, 4, -kPi / 4));
  };
  BevelStyle rs;
  rs.bevel = 2 * s;
  rs.facets = 8;
  DrawBevelled(img, rose2, [](Vec2) { return Hex(0xd8dde8); }, rs);
  DrawBevelled(img, rose, MetalPaint(GoldAt, 12 * s, 52 * s), rs);
  // The north point is red.
  FillShape(img, [&](Vec2 p) {
    const Vec2 q = (p - c) * (1 / s);
    return std::max(rose(p), q.y * s + 3 * s);
  }, [](Vec2) { return Hex(0xe23a30, 0.8f); });
  DrawSphere(img, c, 3 * s, Hex(0xf0c050));
  DrawSparkle(img, c + Vec2{-14, -14} * s, 9 * s, Rgba{1, 1, 1, 1}, 0.9f);
  return img;
}

Image Amulet() {
  Image img(40, 40);
  const Vec2 c{20, 22};
  auto frame = [&](Vec2 p) { return SdPolygon(p, RegularPolygon(c, 16, 8, kPi / 8)) - 1; };
  DrawShadow(img, frame, 1.2f, 2, 1.5f, 0.55f);
  BevelStyle st;
  st.bevel = 3;
  st.facets = 8;
  DrawBevelled(img, frame, MetalPaint(GoldAt, 5, 39), st);
  FillSolid(img, [](Vec2 p) { return std::fabs(SdCircle(p, {20, 4}, 3.5f)) - 1.2f; }, Hex(0xc89030));
  DrawGem(img, [&](Vec2 p) { return SdEllipse(p, c, {8.5f, 10.5f}); }, c, 10, Hex(0xd81e44), 12, true);
  return img;
}

Image Shell() {
  Image img(40, 40);
  const Vec2 hinge{20, 36};
  // A scallop: a fan of ribs opening upwards from the hinge.
  auto shell = [&](Vec2 p) {
    const Vec2 q = p - hinge;
    const float r = Length(q);
    const float a = std::atan2(q.x, -q.y);
    const float fan = std::max(r - (27 + 1.0f * std::cos(a * 11)), (std::fabs(a) - 0.8f) * r);
    return std::min(fan, SdBox(p, {20, 34}, {6, 3.5f}, 1.5f));
  };
  DrawShadow(img, shell, 1.2f, 2, 1.5f, 0.55f);
  BevelStyle st;
  st.bevel = 3;
  DrawBevelled(img, shell, [&](Vec2 p) {
    const Vec2 q = p - hinge;
    const float a = std::atan2(q.x, -q.y);
    const float ribs = 0.5f + 0.5f * std::cos(a * 11);
    return Mix(Hex(0xf08c74), Hex(0xfff0e6), ribs * 0.7f + 0.15f);
  }, st);
  DrawSphere(img, {20, 22}, 5.5f, Hex(0xf4eef0), 1.0f, 40);
  return img;
}

Image StoneBlock(uint32_t base, uint32_t seed) {
  Image img(40, 40);
  auto shape = [](Vec2 p) { return SdBox(p, {20, 20}, {18.5f, 18.5f}, 4); };
  BevelStyle st;
  st.bevel = 4;
  st.slope = 1.1f;
  st.specular = 0.25f;
  DrawBevelled(img, shape, [=](Vec2 p) {
    const float n = Fbm(p.x * 0.18f, p.y * 0.18f, seed, 4);
    const float crack = std::fabs(Fbm(p.x * 0.09f, p.y * 0.09f, seed + 7, 3) - 0.5f);
    Rgba col = Scaled(Hex(base), 0.75f + 0.5f * n);
    if (crack < 0.018f) col = Scaled(col, 0.55f);
    return col;
  }, st);
  return img;
}

Image IronBlock() {
  Image img(40, 40);
  auto shape = [](Vec2 p) { return SdBox(p, {20, 20}, {19, 19}, 2.5f); };
  BevelStyle st;
  st.bevel = 3.5f;
  st.specular = 0.8f;
  DrawBevelled(img, shape, [](Vec2 p) {
    const float brushed = 0.5f + 0.08f * std::sin(p.y * 3.1f + std::sin(p.x * 0.7f));
    return SilverAt(0.62f - (p.y - p.x) * 0.004f + brushed * 0.1f - 0.05f);
  }, st);
  // Diagonal straps and bolts.
  auto straps = [](Vec2 p) {
    return std::max(std::min(SdSegment(p, {6, 6}, {34, 34}, 2.2f), SdSegment(p, {34, 6}, {6, 34}, 2.2f)),
                    SdBox(p, {20, 20}, {16, 16}, 2));
  };
  BevelStyle sb;
  sb.bevel = 1.4f;
  DrawBevelled(img, straps, [](Vec2) { return SilverAt(0.4f); }, sb);
  for (Vec2 b : {Vec2{6, 6}, Vec2{34, 6}, Vec2{6, 34}, Vec2{34, 34}, Vec2{20, 20}})
    DrawSphere(img, b, 2.2f, SilverAt(0.55f), 0.9f, 16);
  return img;
}

Image Crate() {
  Image img(40, 40);
  auto shape = [](Vec2 p) { return SdBox(p, {20, 20}, {19, 19}, 2); };
  BevelStyle st;
  st.bevel = 3;
  st.specular = 0.2f;
  DrawBevelled(img, shape, [](Vec2 p) {
    const float plank = std::fmod(p.y, 10.0f);
    const float grain = Fbm(p.x * 0.5f, p.y * 0.08f, 31, 3);
    Rgba col = Mix(Hex(0x8a5a2c), Hex(0xc48a4c), grain);
    if (plank < 1) col = Scaled(col, 0.55f);
    return col;
  }, st);
  auto bands = [](Vec2 p) {
    return std::max(std::min(std::fabs(p.x - 7) - 2.5f, std::fabs(p.x - 33) - 2.5f),
                    SdBox(p, {20, 20}, {19, 19}, 2));
  };
  BevelStyle sb;
  sb.bevel = 1.5f;
  DrawBevelled(img, bands, MetalPaint(SilverAt, 1, 39), sb);
  for (float y : {6.0f, 20.0f, 34.0f})
    for (float x : {7.0f, 33.0f}) DrawSphere(img, {x, y}, 1.4f, SilverAt(0.6f), 0.8f, 12);
  return img;
}

}  // namespace

void GeneratePieces(Output& out) {
  for (int kind = 1; kind <= 8; ++kind) {
    Image normal(40, 40);
    DrawJewel(normal, kind, {19.5f, 19.5f}, 17.5f, true);
    out.WritePng("/texture/piece/piece" + std::to_string(kind) + "-normal.png", normal);
    Image small(24, 24);
    DrawJewel(small, kind, {11.75f, 11.5f}, 10.5f, false);
    out.WritePng("/texture/piece/piece" + std::to_string(kind) + "-small.png", small);
  }
  out.WritePng("/texture/piece/bomb.png", Bomb());
  out.WritePng("/texture/piece/dynamite.png", Dynamite());
  out.WritePng("/texture/piece/cannon.png", Cannon());
  out.WritePng("/texture/piece/rainbow.png", Rainbow());
  out.WritePng("/texture/piece/key.png", Key(40));
  out.WritePng("/texture/piece/lock.png", Lock());
  out.WritePng("/texture/piece/key-glowing.png", KeyGlowing());
  out.WritePng("/texture/piece/artifact.png", Compass(64));
  // Level pictures for blocks, fixed blocks and hidden artifacts (40 x 40).
  out.WritePng("/texture/piece/block-stone.png", StoneBlock(0x8a94a4, 3));
  out.WritePng("/texture/piece/block-coral.png", StoneBlock(0xd89a84, 5));
  out.WritePng("/texture/piece/fixedblock-iron.png", IronBlock());
  out.WritePng("/texture/piece/fixedblock-crate.png", Crate());
  out.WritePng("/texture/piece/artifact-compass.png", Compass(40));
  out.WritePng("/texture/piece/artifact-amulet.png", Amulet());
  out.WritePng("/texture/piece/artifact-shell.png", Shell());
}

}  // namespace assetgen
