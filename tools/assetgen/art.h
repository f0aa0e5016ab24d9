// Shared drawing recipes of the house style: bevelled, glossy shapes lit from
// the top left, metals, spheres, glows and sparkles.
#pragma once

#include <functional>

#include "raster.h"

namespace assetgen {

// A shape in pixel space: signed distance in pixels, negative inside.
using Shape = std::function<float(Vec2)>;
// A colour that may vary over the picture.
using Paint = std::function<Rgba(Vec2)>;

struct Vec3 {
  float x = 0, y = 0, z = 0;
};
Vec3 Normalized(Vec3 v);
float Dot3(Vec3 a, Vec3 b);
// The light of every picture: from the top left, slightly in front.
Vec3 LightDir();

struct BevelStyle {
  float bevel = 4;        // width of the sloped rim, pixels
  float slope = 0.9f;     // steepness of the rim
  float dome = 0.2f;      // curvature of the flat top
  float ambient = 0.32f;
  float diffuse = 0.85f;
  float specular = 0.7f;
  float shininess = 24;
  int facets = 0;         // >0: rim normals snap to this many directions
  float rimDark = 0.55f;  // darkening of the outermost pixel ring
  float radius = 16;      // size used for the dome
  Vec2 centre{};
};

// Fills a shape with lit, bevelled shading.
void DrawBevelled(Image& img, const Shape& shape, const Paint& paint, const BevelStyle& style);
// A jewel: bevelled facets, inner glow, gloss and an optional sparkle.
void DrawGem(Image& img, const Shape& shape, Vec2 centre, float radius, Rgba base, int facets,
             bool sparkle);
// Lit sphere of radius r.
void DrawSphere(Image& img, Vec2 c, float r, Rgba base, float specular = 0.9f,
                float shininess = 30);
// Soft shadow of a shape, offset.
void DrawShadow(Image& img, const Shape& shape, float dx, float dy, float blur, float opacity);
// Radial glow added as light.
void DrawGlow(Image& img, Vec2 c, float r, Rgba colour, float strength);
// Four-pointed twinkle added as light.
void DrawSparkle(Image& img, Vec2 c, float r, Rgba colour, float strength);

// Colour ramps of the metals: t in 0..1 from shadow to highlight.
Rgba GoldAt(float t);
Rgba SilverAt(float t);
Rgba BronzeAt(float t);
// A metal paint: brightness follows a lit vertical gradient plus a band.
Paint MetalPaint(Rgba (*ramp)(float), float top, float bottom);

// The eight jewel kinds: colour and outline (pixel space, centred at c with
// half-size r) and the facet count used for curved outlines.
Rgba JewelColour(int kind);  // kind 1..8
Shape JewelShape(int kind, Vec2 c, float r);
int JewelFacets(int kind);
void DrawJewel(Image& img, int kind, Vec2 c, float r, bool sparkle);

}  // namespace assetgen
