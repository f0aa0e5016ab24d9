#include "raster.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>

namespace assetgen {

Rgba Hex(uint32_t rgb, float a) {
  return {float((rgb >> 16) & 255) / 255.0f, float((rgb >> 8) & 255) / 255.0f,
          float(rgb & 255) / 255.0f, a};
}

Rgba Hsv(float h, float s, float v, float a) {
  h = h - std::floor(h);
  const float k[3] = {5, 3, 1};
  float c[3];
  for (int i = 0; i < 3; ++i) {
    const float t = std::fmod(k[i] + h * 6, 6.0f);
    c[i] = v - v * s * std::max(0.0f, std::min({t, 4 - t, 1.0f}));
  }
  return {c[0], c[1], c[2], a};
}

Image::Image(int width, int height, Rgba fill)
    : m_width(width), m_height(height), m_pixels(size_t(width) * size_t(height), fill) {}

void Image::Blend(int x, int y, Rgba c, float coverage) {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
  Rgba& d = At(x, y);
  const float sa = Clamp01(c.a * coverage);
  if (sa <= 0) return;
  const float oa = sa + d.a * (1 - sa);
  if (oa <= 0) return;
  const float kd = d.a * (1 - sa);
  d.r = (c.r * sa + d.r * kd) / oa;
  d.g = (c.g * sa + d.g * kd) / oa;
  d.b = (c.b * sa + d.b * kd) / oa;
  d.a = oa;
}

void Image::Add(int x, int y, Rgba c, float coverage) {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
  Rgba& d = At(x, y);
  const float k = c.a * coverage;
  if (k <= 0) return;
  // Work premultiplied so that light added on a transparent pixel keeps its hue.
  float pr = d.r * d.a + c.r * k, pg = d.g * d.a + c.g * k, pb = d.b * d.a + c.b * k;
  const float oa = Clamp01(d.a + k * std::max({c.r, c.g, c.b}));
  if (oa <= 0) return;
  d.r = std::min(1.0f, pr / oa);
  d.g = std::min(1.0f, pg / oa);
  d.b = std::min(1.0f, pb / oa);
  d.a = oa;
}

Rgba Image::Sample(float x, float y) const {
  x -= 0.5f;
  y -= 0.5f;
  const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
  const float fx = x - float(x0), fy = y - float(y0);
  auto px = [&](int xx, int yy) {
    xx = std::clamp(xx, 0, m_width - 1);
    yy = std::clamp(yy, 0, m_height - 1);
    const Rgba& c = At(xx, yy);
    return Rgba{c.r * c.a, c.g * c.a, c.b * c.a, c.a};
  };
  const Rgba a = Mix(px(x0, y0), px(x0 + 1, y0), fx);
  const Rgba b = Mix(px(x0, y0 + 1), px(x0 + 1, y0 + 1), fx);
  Rgba c = Mix(a, b, fy);
  if (c.a > 0) {
    c.r /= c.a;
    c.g /= c.a;
    c.b /= c.a;
  }
  return c;
}

float SdCircle(Vec2 p, Vec2 c, float r) { return Length(p - c) - r; }

float SdBox(Vec2 p, Vec2 c, Vec2 half, float radius) {
  const Vec2 d{std::fabs(p.x - c.x) - half.x + radius, std::fabs(p.y - c.y) - half.y + radius};
  const Vec2 o{std::max(d.x, 0.0f), std::max(d.y, 0.0f)};
  return Length(o) + std::min(std::max(d.x, d.y), 0.0f) - radius;
}

float SdSegment(Vec2 p, Vec2 a, Vec2 b, float r) {
  const Vec2 pa = p - a, ba = b - a;
  const float h = Clamp01(Dot(pa, ba) / std::max(1e-9f, Dot(ba, ba)));
  return Length(pa - ba * h) - r;
}

float SdPolygon(Vec2 p, const std::vector<Vec2>& v) {
  float d = Dot(p - v[0], p - v[0]);
  float s = 1;
  for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i, ++i) {
    const Vec2 e = v[j] - v[i], w = p - v[i];
    const Vec2 b = w - e * Clamp01(Dot(w, e) / Dot(e, e));
    d = std::min(d, Dot(b, b));
    const bool c1 = p.y >= v[i].y, c2 = p.y < v[j].y, c3 = e.x * w.y > e.y * w.x;
    if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
  }
  return s * std::sqrt(d);
}

float SdEllipse(Vec2 p, Vec2 c, Vec2 r) {
  const Vec2 q{(p.x - c.x) / r.x, (p.y - c.y) / r.y};
  const float k = Length(q);
  if (k < 1e-6f) return -std::min(r.x, r.y);
  const Vec2 g{q.x / (r.x * k), q.y / (r.y * k)};
  return (k - 1) / std::max(1e-6f, Length(g));
}

float SdHeart(Vec2 p) {
  p.x = std::fabs(p.x);
  auto dot2 = [](Vec2 v) { return Dot(v, v); };
  if (p.y + p.x > 1.0f) return std::sqrt(dot2(p - Vec2{0.25f, 0.75f})) - std::sqrt(2.0f) / 4.0f;
  const float m = 0.5f * std::max(p.x + p.y, 0.0f);
  return std::sqrt(std::min(dot2(p - Vec2{0.0f, 1.0f}), dot2(p - Vec2{m, m}))) *
         (p.x - p.y > 0 ? 1.0f : -1.0f);
}

float SdUnevenCapsule(Vec2 p, float r1, float r2, float h) {
  p.x = std::fabs(p.x);
  const float b = (r1 - r2) / h;
  const float a = std::sqrt(1 - b * b);
  const float k = Dot(p, Vec2{-b, a});
  if (k < 0) return Length(p) - r1;
  if (k > a * h) return Length(p - Vec2{0, h}) - r2;
  return Dot(p, Vec2{a, b}) - r1;
}

std::vector<Vec2> RegularPolygon(Vec2 c, float r, int n, float phase) {
  std::vector<Vec2> v;
  for (int i = 0; i < n; ++i) {
    const float a = phase + 6.2831853f * float(i) / float(n);
    v.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
  }
  return v;
}

std::vector<Vec2> StarPolygon(Vec2 c, float rOuter, float rInner, int n, float phase) {
  std::vector<Vec2> v;
  for (int i = 0; i < 2 * n; ++i) {
    const float a = phase + 3.14159265f * float(i) / float(n);
    const float r = (i % 2) ? rInner : rOuter;
    v.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
  }
  return v;
}

namespace {
// One horizontal then vertical box pass over premultiplied data.
void BoxPass(std::vector<Rgba>& data, int w, int h, int r) {
  std::vector<Rgba> tmp(data.size());
  const float inv = 1.0f / float(2 * r + 1);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      Rgba s{};
      for (int k = -r; k <= r; ++k) {
        const int xx = std::clamp(x + k, 0, w - 1);
        const Rgba& c = data[size_t(y) * size_t(w) + size_t(xx)];
        s.r += c.r; s.g += c.g; s.b += c.b; s.a += c.a;
      }
      tmp[size_t(y) * size_t(w) + size_t(x)] = {s.r * inv, s.g * inv, s.b * inv, s.a * inv};
    }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      Rgba s{};
      for (int k = -r; k <= r; ++k) {
        const int yy = std::clamp(y + k, 0, h - 1);
        const Rgba& c = tmp[size_t(yy) * size_t(w) + size_t(x)];
        s.r += c.r; s.g += c.g; s.b += c.b; s.a += c.a;
      }
      data[size_t(y) * size_t(w) + size_t(x)] = {s.r * inv, s.g * inv, s.b * inv, s.a * inv};
    }
}
}  // namespace

Image Blurred(const Image& src, float radius) {
  const int w = src.Width(), h = src.Height();
  std::vector<Rgba> data(size_t(w) * size_t(h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const Rgba& c = src.At(x, y);
      data[size_t(y) * size_t(w) + size_t(x)] = {c.r * c.a, c.g * c.a, c.b * c.a, c.a};
    }
  // Three box passes approximate a Gaussian of this radius.
  const int r = std::max(1, int(std::lround(radius * 0.58f)));
  for (int i = 0; i < 3; ++i) BoxPass(data, w, h, r);
  Image out(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const Rgba& c = data[size_t(y) * size_t(w) + size_t(x)];
      out.At(x, y) = c.a > 1e-6f ? Rgba{c.r / c.a, c.g / c.a, c.b / c.a, c.a} : Rgba{};
    }
  return out;
}

void Composite(Image& dst, const Image& src, float dx, float dy, float opacity, Mode mode) {
  const bool whole = dx == std::floor(dx) && dy == std::floor(dy);
  for (int y = 0; y < dst.Height(); ++y)
    for (int x = 0; x < dst.Width(); ++x) {
      Rgba c;
      if (whole) {
        const int sx = x - int(dx), sy = y - int(dy);
        if (sx < 0 || sy < 0 || sx >= src.Width() || sy >= src.Height()) continue;
        c = src.At(sx, sy);
      } else {
        const float sx = float(x) + 0.5f - dx, sy = float(y) + 0.5f - dy;
        if (sx < -1 || sy < -1 || sx > float(src.Width()) + 1 || sy > float(src.Height()) + 1) continue;
        c = src.Sample(sx, sy);
      }
      if (c.a <= 0) continue;
      if (mode == Mode::Over)
        dst.Blend(x, y, c, opacity);
      else
        dst.Add(x, y, c, opacity);
    }
}

Image Tinted(const Image& src, Rgba c) {
  Image out(src.Width(), src.Height());
  for (int y = 0; y < src.Height(); ++y)
    for (int x = 0; x < src.Width(); ++x) out.At(x, y) = {c.r, c.g, c.b, src.At(x, y).a * c.a};
  return out;
}

Image Resized(const Image& src, int width, int height) {
  Image out(width, height);
  const float sx = float(src.Width()) / float(width), sy = float(src.Height()) / float(height);
  const int nx = std::max(1, int(std::ceil(sx))), ny = std::max(1, int(std::ceil(sy)));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      Rgba s{};
      for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
          const Rgba c = src.Sample((float(x) + (float(i) + 0.5f) / float(nx)) * sx,
                                    (float(y) + (float(j) + 0.5f) / float(ny)) * sy);
          s.r += c.r * c.a; s.g += c.g * c.a; s.b += c.b * c.a; s.a += c.a;
        }
      const float n = float(nx * ny);
      out.At(x, y) = s.a > 1e-6f ? Rgba{s.r / s.a, s.g / s.a, s.b / s.a, s.a / n} : Rgba{};
    }
  return out;
}

void AddDropShadow(Image& img, float dx, float dy, float blur, float opacity) {
  Image shadow = Blurred(Tinted(img, Rgba{0.05f, 0.04f, 0.08f, 1}), blur);
  Image out(img.Width(), img.Height());
  Composite(out, shadow, dx, dy, opacity);
  Composite(out, img, 0, 0);
  img = out;
}

uint32_t Rng::Next() {
  m_state ^= m_state >> 12;
  m_state ^= m_state << 25;
  m_state ^= m_state >> 27;
  return uint32_t((m_state * 0x2545F4914F6CDD1Dull) >> 32);
}

float Rng::Uniform() { return float(Next() >> 8) / 16777216.0f; }

namespace {
float Hash2(int x, int y, uint32_t seed) {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return float(h & 0xFFFFFF) / 16777215.0f;
}
}  // namespace

float ValueNoise(float x, float y, uint32_t seed) {
  const float fx = std::floor(x), fy = std::floor(y);
  const int ix = int(fx), iy = int(fy);
  float tx = x - fx, ty = y - fy;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  const float a = Hash2(ix, iy, seed), b = Hash2(ix + 1, iy, seed);
  const float c = Hash2(ix, iy + 1, seed), d = Hash2(ix + 1, iy + 1, seed);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float Fbm(float x, float y, uint32_t seed, int octaves) {
  float sum = 0, amp = 0.5f, norm = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += amp * ValueNoise(x, y, seed + uint32_t(i) * 101u);
    norm += amp;
    x = x * 2.03f + 17.1f;
    y = y * 2.03f + 5.3f;
    amp *= 0.5f;
  }
  return sum / norm;
}

std::vector<uint8_t> ToBytes(const Image& img) {
  std::vector<uint8_t> out(size_t(img.Width()) * size_t(img.Height()) * 4);
  size_t i = 0;
  for (int y = 0; y < img.Height(); ++y)
    for (int x = 0; x < img.Width(); ++x) {
      const Rgba& c = img.At(x, y);
      const bool empty = c.a * 255.0f < 0.5f;
      // Fully transparent pixels carry no colour, which keeps the files small.
      out[i++] = empty ? 0 : uint8_t(std::lround(Clamp01(c.r) * 255.0f));
      out[i++] = empty ? 0 : uint8_t(std::lround(Clamp01(c.g) * 255.0f));
      out[i++] = empty ? 0 : uint8_t(std::lround(Clamp01(c.b) * 255.0f));
      out[i++] = uint8_t(std::lround(Clamp01(c.a) * 255.0f));
    }
  return out;
}

bool SavePng(const Image& img, const std::string& path) {
  std::vector<uint8_t> bytes = ToBytes(img);
  SDL_Surface* surface =
      SDL_CreateRGBSurfaceWithFormat(0, img.Width(), img.Height(), 32, SDL_PIXELFORMAT_ABGR8888);
  if (!surface) return false;
  for (int y = 0; y < img.Height(); ++y)
    std::copy_n(bytes.data() + size_t(y) * size_t(img.Width()) * 4, size_t(img.Width()) * 4,
                static_cast<uint8_t*>(surface->pixels) + size_t(y) * size_t(surface->pitch));
  const bool ok = IMG_SavePNG(surface, path.c_str()) == 0;
  SDL_FreeSurface(surface);
  return ok;
}

bool SaveJpg(const Image& img, const std::string& path, int quality) {
  // Over black: a JPEG keeps no alpha.
  std::vector<uint8_t> bytes = ToBytes(img);
  SDL_Surface* surface =
      SDL_CreateRGBSurfaceWithFormat(0, img.Width(), img.Height(), 24, SDL_PIXELFORMAT_RGB24);
  if (!surface) return false;
  for (int y = 0; y < img.Height(); ++y)
    for (int x = 0; x < img.Width(); ++x) {
      const uint8_t* in = bytes.data() + (size_t(y) * size_t(img.Width()) + size_t(x)) * 4;
      uint8_t* out = static_cast<uint8_t*>(surface->pixels) + size_t(y) * size_t(surface->pitch) + size_t(x) * 3;
      for (int k = 0; k < 3; ++k) out[k] = uint8_t(in[k] * in[3] / 255);
    }
  const bool ok = IMG_SaveJPG(surface, path.c_str(), quality) == 0;
  SDL_FreeSurface(surface);
  return ok;
}

}  // namespace assetgen
