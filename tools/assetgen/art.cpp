#include "art.h"

#include <algorithm>

namespace assetgen {

Vec3 Normalized(Vec3 v) {
  const float l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  return l > 0 ? Vec3{v.x / l, v.y / l, v.z / l} : Vec3{0, 0, 1};
}
float Dot3(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 LightDir() { return Normalized({-0.5f, -0.7f, 0.85f}); }

namespace {
Rgba Clamped(Rgba c) { return {Clamp01(c.r), Clamp01(c.g), Clamp01(c.b), Clamp01(c.a)}; }
Rgba AddRgb(Rgba c, Rgba d, float k) { return {c.r + d.r * k, c.g + d.g * k, c.b + d.b * k, c.a}; }

Vec2 Gradient(const Shape& shape, Vec2 p) {
  const float e = 0.35f;
  Vec2 g{shape({p.x + e, p.y}) - shape({p.x - e, p.y}), shape({p.x, p.y + e}) - shape({p.x, p.y - e})};
  const float l = Length(g);
  return l > 1e-6f ? g * (1 / l) : Vec2{0, 0};
}
}  // namespace

void DrawBevelled(Image& img, const Shape& shape, const Paint& paint, const BevelStyle& st) {
  const Vec3 light = LightDir();
  const Vec3 half = Normalized({light.x, light.y, light.z + 1});
  FillShape(img, shape, [&](Vec2 p) {
    const float d = shape(p);
    Vec2 g = Gradient(shape, p);
    if (st.facets > 0 && (g.x != 0 || g.y != 0)) {
      const float q = 6.2831853f / float(st.facets);
      const float a = std::round(std::atan2(g.y, g.x) / q) * q;
      g = {std::cos(a), std::sin(a)};
    }
    const float t = -d / st.bevel;
    const float flat = SmoothStep(0.8f, 1.2f, t);
    const float k = st.slope * (1 - flat);
    const Vec2 q = (p - st.centre) * (1 / st.radius);
    const Vec3 n = Normalized({g.x * k + q.x * st.dome * flat, g.y * k + q.y * st.dome * flat, 1});
    const float diff = std::max(0.0f, Dot3(n, light));
    const float shine = std::pow(std::max(0.0f, Dot3(n, half)), st.shininess);
    const Rgba base = paint(p);
    Rgba c = Scaled(base, st.ambient + st.diffuse * diff);
    const float rim = 1 - SmoothStep(0.2f, 1.6f, -d);
    c = Mix(c, Scaled(base, 0.3f), rim * st.rimDark);
    c = AddRgb(c, Rgba{1, 1, 1, 1}, shine * st.specular);
    c.a = base.a;
    return Clamped(c);
  });
}

void DrawShadow(Image& img, const Shape& shape, float dx, float dy, float blur, float opacity) {
  Image layer(img.Width(), img.Height());
  FillSolid(layer, shape, Rgba{0.06f, 0.04f, 0.06f, 1});
  Composite(img, Blurred(layer, blur), dx, dy, opacity);
}

void DrawGem(Image& img, const Shape& shape, Vec2 centre, float radius, Rgba base, int facets,
             bool sparkle) {
  DrawShadow(img, shape, radius * 0.06f, radius * 0.11f, 0.8f + radius * 0.06f, 0.55f);
  Image body(img.Width(), img.Height());
  BevelStyle st;
  st.bevel = radius * 0.34f;
  st.slope = 1.0f;
  st.dome = 0.25f;
  st.facets = facets;
  st.radius = radius;
  st.centre = centre;
  st.ambient = 0.36f;
  st.diffuse = 0.8f;
  st.specular = 0.8f;
  st.shininess = 18;
  // The flat top shows a ring of crown facets that catch the light in turn.
  auto paint = [&](Vec2 p) {
    const Vec2 q = (p - centre) * (1 / radius);
    const float a = std::atan2(q.y, q.x);
    const int sector = int(std::floor((a + 3.14159265f) / (6.2831853f / 10)));
    const float crown = (sector % 2 ? 0.1f : -0.06f) * SmoothStep(0.15f, 0.4f, Length(q));
    // Light passing through the stone comes out on the side away from the lamp.
    const float glow = Clamp01(Dot(q, Vec2{0.5f, 0.65f}) * 1.1f);
    Rgba c = Scaled(base, 1 + crown);
    c = Mix(c, Rgba{std::min(1.f, base.r * 1.5f + 0.15f), std::min(1.f, base.g * 1.5f + 0.15f),
                    std::min(1.f, base.b * 1.5f + 0.15f), 1},
            glow * 0.5f);
    return c;
  };
  DrawBevelled(body, shape, paint, st);
  // Gloss: a soft white lens on the upper left of the top.
  const Vec2 gc = centre + Vec2{-0.22f, -0.34f} * radius;
  FillShape(
      body,
      [&](Vec2 p) {
        const Vec2 r = Rotate(p - gc, 0.5f);
        return std::max(shape(p) + radius * 0.16f,
                        SdEllipse(r, {0, 0}, {radius * 0.42f, radius * 0.17f}));
      },
      [&](Vec2 p) {
        const float t = Clamp01((p.y - (gc.y - radius * 0.25f)) / (radius * 0.5f));
        return Rgba{1, 1, 1, 0.65f * (1 - t) + 0.05f};
      });
  Composite(img, body, 0, 0);
  if (sparkle) DrawSparkle(img, centre + Vec2{-0.4f, -0.45f} * radius, radius * 0.45f,
                           Rgba{1, 1, 1, 1}, 0.9f);
}

void DrawSphere(Image& img, Vec2 c, float r, Rgba base, float specular, float shininess) {
  const Vec3 light = LightDir();
  const Vec3 half = Normalized({light.x, light.y, light.z + 1});
  FillShape(img, [&](Vec2 p) { return SdCircle(p, c, r); }, [&](Vec2 p) {
    const Vec2 q = (p - c) * (1 / r);
    const float zz = std::max(0.0f, 1 - Dot(q, q));
    const Vec3 n = Normalized({q.x, q.y, std::sqrt(zz)});
    const float diff = std::max(0.0f, Dot3(n, light));
    const float shine = std::pow(std::max(0.0f, Dot3(n, half)), shininess);
    // Bounce light from below keeps the dark side readable.
    const float bounce = Clamp01(q.y * 0.8f + q.x * 0.3f) * 0.25f;
    Rgba col = Scaled(base, 0.25f + 0.85f * diff + bounce);
    col = AddRgb(col, Rgba{1, 1, 1, 1}, shine * specular);
    col.a = base.a;
    return Clamped(col);
  });
}

void DrawGlow(Image& img, Vec2 c, float r, Rgba colour, float strength) {
  PaintAll(img, [&](Vec2 p) {
    const float t = Clamp01(1 - Length(p - c) / r);
    return WithAlpha(colour, strength * t * t);
  }, Mode::Add);
}

void DrawSparkle(Image& img, Vec2 c, float r, Rgba colour, float strength) {
  PaintAll(img, [&](Vec2 p) {
    const Vec2 d = p - c;
    const float ax = std::fabs(d.x) / r, ay = std::fabs(d.y) / r;
    const float rayH = Clamp01(1 - ax) * std::exp(-ay * ay * 60);
    const float rayV = Clamp01(1 - ay) * std::exp(-ax * ax * 60);
    const float core = std::exp(-(ax * ax + ay * ay) * 18);
    return WithAlpha(colour, strength * Clamp01(rayH + rayV + core));
  }, Mode::Add);
}

Rgba GoldAt(float t) {
  t = Clamp01(t);
  if (t < 0.5f) return Mix(Hex(0x6b3d10), Hex(0xd9a22e), t * 2);
  return Mix(Hex(0xd9a22e), Hex(0xfff0b0), (t - 0.5f) * 2);
}
Rgba SilverAt(float t) {
  t = Clamp01(t);
  if (t < 0.5f) return Mix(Hex(0x3c4450), Hex(0x9aa6b4), t * 2);
  return Mix(Hex(0x9aa6b4), Hex(0xf4f8ff), (t - 0.5f) * 2);
}
Rgba BronzeAt(float t) {
  t = Clamp01(t);
  if (t < 0.5f) return Mix(Hex(0x4a2412), Hex(0xb0683a), t * 2);
  return Mix(Hex(0xb0683a), Hex(0xf6c898), (t - 0.5f) * 2);
}

Paint MetalPaint(Rgba (*ramp)(float), float top, float bottom) {
  return [ramp, top, bottom](Vec2 p) {
    const float t = Clamp01((p.y - top) / std::max(1.0f, bottom - top));
    // Brushed metal: bright upper band, darker middle, reflected light low.
    const float v = 0.75f - 0.45f * t + 0.25f * std::exp(-std::pow((t - 0.8f) * 5, 2.0f));
    return ramp(v);
  };
}

Rgba JewelColour(int kind) {
  static const uint32_t colours[8] = {0xec2a3c, 0x2ec653, 0x2f6bff, 0xffd23a,
                                      0xa444ec, 0xff8620, 0xeef2fa, 0x2fd8e4};
  return Hex(colours[(kind - 1) & 7]);
}

int JewelFacets(int kind) {
  switch (kind) {
    case 1: return 14;  // heart
    case 3: return 14;  // teardrop
    case 8: return 16;  // round brilliant
    default: return 0;  // straight edges give their own facets
  }
}

Shape JewelShape(int kind, Vec2 c, float r) {
  auto poly = [c, r](std::vector<Vec2> unit, float round) -> Shape {
    for (Vec2& v : unit) v = c + v * r;
    return [v = std::move(unit), round, r](Vec2 p) { return SdPolygon(p, v) - round * r; };
  };
  switch (kind) {
    case 1:  // heart
      return [c, r](Vec2 p) {
        const float s = 1.62f;
        const Vec2 q{(p.x - c.x) / (r * s), 0.56f - (p.y - c.y) / (r * s)};
        return SdHeart(q) * r * s;
      };
    case 2:  // square, emerald cut corners
      return poly({{-0.78f, -0.5f}, {-0.5f, -0.78f}, {0.5f, -0.78f}, {0.78f, -0.5f},
                   {0.78f, 0.5f}, {0.5f, 0.78f}, {-0.5f, 0.78f}, {-0.78f, 0.5f}}, 0.08f);
    case 3:  // teardrop, point up
      return [c, r](Vec2 p) {
        const Vec2 q{(p.x - c.x) / r, 0.3f - (p.y - c.y) / r};
        return SdUnevenCapsule(q, 0.64f, 0.07f, 1.18f) * r;
      };
    case 4:  // five-pointed star
      return [c, r, v = StarPolygon({0, 0.1f}, 1.02f, 0.5f, 5, -1.5707963f)](Vec2 p) {
        return SdPolygon((p - c) * (1 / r), v) * r - 0.05f * r;
      };
    case 5: {  // tall hexagon, point up, so it never reads as the round stone
      auto v = RegularPolygon({0, 0}, 0.96f, 6, -1.5707963f);
      for (Vec2& p : v) p.x *= 0.8f;
      return poly(v, 0.05f);
    }
    case 6: {  // triangle, point up
      auto v = RegularPolygon({0, 0.22f}, 0.98f, 3, -1.5707963f);
      return poly(v, 0.1f);
    }
    case 7:  // diamond (rhombus)
      return poly({{0, -0.92f}, {0.74f, 0}, {0, 0.92f}, {-0.74f, 0}}, 0.06f);
    default:  // round
      return [c, r](Vec2 p) { return SdCircle(p, c, r * 0.88f); };
  }
}

void DrawJewel(Image& img, int kind, Vec2 c, float r, bool sparkle) {
  DrawGem(img, JewelShape(kind, c, r), c, r, JewelColour(kind), JewelFacets(kind), sparkle);
}

}  // namespace assetgen
