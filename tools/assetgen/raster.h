// Software rasteriser for the generated art: float RGBA images, signed-distance
// shapes with one-pixel anti-aliasing, gradients, blur and compositing.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

struct Vec2 {
  float x = 0, y = 0;
};
inline Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
inline Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
inline Vec2 operator*(Vec2 a, float s) { return {a.x * s, a.y * s}; }
inline float Dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
inline float Length(Vec2 a) { return std::sqrt(Dot(a, a)); }
inline Vec2 Rotate(Vec2 p, float a) {
  const float c = std::cos(a), s = std::sin(a);
  return {c * p.x - s * p.y, s * p.x + c * p.y};
}

// Straight (not premultiplied) colour, components 0..1.
struct Rgba {
  float r = 0, g = 0, b = 0, a = 0;
};
inline Rgba Mix(Rgba a, Rgba b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
          a.a + (b.a - a.a) * t};
}
inline Rgba Scaled(Rgba c, float k) { return {c.r * k, c.g * k, c.b * k, c.a}; }
inline Rgba WithAlpha(Rgba c, float a) { return {c.r, c.g, c.b, a}; }
Rgba Hex(uint32_t rgb, float a = 1.0f);
Rgba Hsv(float h, float s, float v, float a = 1.0f);

inline float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
inline float SmoothStep(float e0, float e1, float x) {
  const float t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}
// Coverage of a pixel by a shape whose signed distance (pixels, negative
// inside) at the pixel centre is d.
inline float Coverage(float d) { return Clamp01(0.5f - d); }

class Image {
 public:
  Image() = default;
  Image(int width, int height, Rgba fill = {});
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  Rgba& At(int x, int y) { return m_pixels[size_t(y) * size_t(m_width) + size_t(x)]; }
  const Rgba& At(int x, int y) const { return m_pixels[size_t(y) * size_t(m_width) + size_t(x)]; }
  // Source-over with the colour's alpha times the coverage.
  void Blend(int x, int y, Rgba c, float coverage);
  // Adds light: rgb += c.rgb * c.a * coverage, alpha grows the same way.
  void Add(int x, int y, Rgba c, float coverage);
  // Bilinear sample with clamping, pixel-centre coordinates.
  Rgba Sample(float x, float y) const;

 private:
  int m_width = 0, m_height = 0;
  std::vector<Rgba> m_pixels;
};

enum class Mode { Over, Add };

// Fills every pixel with paint(p) weighted by the shape's coverage; p is the
// pixel centre. sdf returns pixels, negative inside.
template <class Sdf, class Paint>
void FillShape(Image& img, Sdf sdf, Paint paint, Mode mode = Mode::Over) {
  for (int y = 0; y < img.Height(); ++y)
    for (int x = 0; x < img.Width(); ++x) {
      const Vec2 p{x + 0.5f, y + 0.5f};
      const float cov = Coverage(sdf(p));
      if (cov <= 0) continue;
      if (mode == Mode::Over)
        img.Blend(x, y, paint(p), cov);
      else
        img.Add(x, y, paint(p), cov);
    }
}
template <class Sdf>
void FillSolid(Image& img, Sdf sdf, Rgba c, Mode mode = Mode::Over) {
  FillShape(img, sdf, [c](Vec2) { return c; }, mode);
}
// Paints every pixel (no shape).
template <class Paint>
void PaintAll(Image& img, Paint paint, Mode mode = Mode::Over) {
  FillShape(img, [](Vec2) { return -10.0f; }, paint, mode);
}

// Signed distances, all in the caller's units.
float SdCircle(Vec2 p, Vec2 c, float r);
float SdBox(Vec2 p, Vec2 c, Vec2 half, float radius = 0);
float SdSegment(Vec2 p, Vec2 a, Vec2 b, float r);
float SdPolygon(Vec2 p, const std::vector<Vec2>& v);
float SdEllipse(Vec2 p, Vec2 c, Vec2 r);  // approximate, good near the edge
float SdHeart(Vec2 p);                  // unit heart, tip at (0,0), top near y=1.1, y up
float SdUnevenCapsule(Vec2 p, float r1, float r2, float h);
std::vector<Vec2> RegularPolygon(Vec2 c, float r, int n, float phase);
std::vector<Vec2> StarPolygon(Vec2 c, float rOuter, float rInner, int n, float phase);

// Blur of all channels (premultiplied internally), three box passes.
Image Blurred(const Image& src, float radius);
// Draws src onto dst at an offset with an opacity; Over or Add.
void Composite(Image& dst, const Image& src, float dx, float dy, float opacity = 1,
               Mode mode = Mode::Over);
// Same image tinted: every pixel keeps its alpha, rgb becomes c.
Image Tinted(const Image& src, Rgba c);
// Resampled copy (box filter when shrinking).
Image Resized(const Image& src, int width, int height);
// Adds a soft drop shadow of the image's own alpha under it.
void AddDropShadow(Image& img, float dx, float dy, float blur, float opacity);

// Deterministic pseudo-random numbers (xorshift64*), independent of the C library.
class Rng {
 public:
  explicit Rng(uint64_t seed) : m_state(seed * 0x9E3779B97F4A7C15ull + 0x1234567ull) {}
  uint32_t Next();
  float Uniform();                    // [0, 1)
  float Range(float lo, float hi) { return lo + (hi - lo) * Uniform(); }
  int Int(int n) { return int(Next() % uint32_t(n)); }

 private:
  uint64_t m_state;
};

// Smooth value noise and fractal sums of it, period-free, seeded.
float ValueNoise(float x, float y, uint32_t seed);
float Fbm(float x, float y, uint32_t seed, int octaves);

// Writes a 32-bit RGBA PNG through SDL_image; false on failure.
bool SavePng(const Image& img, const std::string& path);
// A baseline JPEG of the picture (alpha dropped over black), quality 1..100.
bool SaveJpg(const Image& img, const std::string& path, int quality);
// Converts to 8-bit RGBA bytes (rounded, clamped).
std::vector<uint8_t> ToBytes(const Image& img);

}  // namespace assetgen
