#include "dds.h"

#include <algorithm>
#include <array>

namespace assetgen {
namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}
uint32_t Get32(const std::vector<uint8_t>& in, size_t at) {
  return uint32_t(in[at]) | uint32_t(in[at + 1]) << 8 | uint32_t(in[at + 2]) << 16 |
         uint32_t(in[at + 3]) << 24;
}

uint16_t To565(float r, float g, float b) {
  const int ri = std::clamp(int(std::lround(r * 31)), 0, 31);
  const int gi = std::clamp(int(std::lround(g * 63)), 0, 63);
  const int bi = std::clamp(int(std::lround(b * 31)), 0, 31);
  return uint16_t(ri << 11 | gi << 5 | bi);
}
std::array<int, 3> From565(uint16_t c) {
  const int r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
  return {(r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2)};
}

// The four palette colours of a block in 4-colour mode (c0 > c1).
std::array<std::array<int, 3>, 4> Palette(uint16_t c0, uint16_t c1) {
  const auto a = From565(c0), b = From565(c1);
  std::array<std::array<int, 3>, 4> p{};
  for (int k = 0; k < 3; ++k) {
    p[0][size_t(k)] = a[size_t(k)];
    p[1][size_t(k)] = b[size_t(k)];
    p[2][size_t(k)] = (2 * a[size_t(k)] + b[size_t(k)]) / 3;
    p[3][size_t(k)] = (a[size_t(k)] + 2 * b[size_t(k)]) / 3;
  }
  return p;
}

// One 4 x 4 block: endpoints at the extremes of the colours along their
// principal axis, then each pixel takes the nearest palette entry.
void EncodeBlock(const std::array<std::array<float, 3>, 16>& px, std::vector<uint8_t>& out) {
  std::array<float, 3> mean{};
  for (const auto& c : px)
    for (size_t k = 0; k < 3; ++k) mean[k] += c[k] / 16;
  float cov[3][3] = {};
  for (const auto& c : px)
    for (size_t i = 0; i < 3; ++i)
      for (size_t j = 0; j < 3; ++j) cov[i][j] += (c[i] - mean[i]) * (c[j] - mean[j]);
  std::array<float, 3> axis{1, 1, 1};
  for (int it = 0; it < 8; ++it) {
    std::array<float, 3> n{};
    for (size_t i = 0; i < 3; ++i)
      for (size_t j = 0; j < 3; ++j) n[i] += cov[i][j] * axis[j];
    const float l = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (l < 1e-9f) break;
    for (size_t k = 0; k < 3; ++k) axis[k] = n[k] / l;
  }
  float lo = 1e9f, hi = -1e9f;
  for (const auto& c : px) {
    const float t = (c[0] - mean[0]) * axis[0] + (c[1] - mean[1]) * axis[1] + (c[2] - mean[2]) * axis[2];
    lo = std::min(lo, t);
    hi = std::max(hi, t);
  }
  uint16_t c0 = To565(mean[0] + axis[0] * hi, mean[1] + axis[1] * hi, mean[2] + axis[2] * hi);
  uint16_t c1 = To565(mean[0] + axis[0] * lo, mean[1] + axis[1] * lo, mean[2] + axis[2] * lo);
  if (c0 < c1) std::swap(c0, c1);
  uint32_t indices = 0;
  if (c0 != c1) {
    const auto pal = Palette(c0, c1);
    for (int i = 0; i < 16; ++i) {
      int best = 0, bestErr = 1 << 30;
      for (int k = 0; k < 4; ++k) {
        int err = 0;
        for (size_t ch = 0; ch < 3; ++ch) {
          const int d = int(std::lround(px[size_t(i)][ch] * 255)) - pal[size_t(k)][ch];
          err += d * d;
        }
        if (err < bestErr) {
          bestErr = err;
          best = k;
        }
      }
      indices |= uint32_t(best) << (2 * i);
    }
  }
  out.push_back(uint8_t(c0));
  out.push_back(uint8_t(c0 >> 8));
  out.push_back(uint8_t(c1));
  out.push_back(uint8_t(c1 >> 8));
  Put32(out, indices);
}

constexpr uint32_t kMagic = 0x20534444;  // "DDS "
constexpr uint32_t kDxt1 = 0x31545844;   // "DXT1"

}  // namespace

std::vector<uint8_t> EncodeDxt1Dds(const Image& img) {
  const int w = img.Width(), h = img.Height();
  std::vector<uint8_t> out;
  Put32(out, kMagic);
  Put32(out, 124);
  Put32(out, 0x1 | 0x2 | 0x4 | 0x1000 | 0x80000);  // caps, height, width, pixel format, linear size
  Put32(out, uint32_t(h));
  Put32(out, uint32_t(w));
  Put32(out, uint32_t(std::max(1, w / 4) * std::max(1, h / 4) * 8));
  Put32(out, 0);  // depth
  Put32(out, 0);  // mipmaps
  for (int i = 0; i < 11; ++i) Put32(out, 0);
  Put32(out, 32);   // pixel format size
  Put32(out, 0x4);  // four-cc
  Put32(out, kDxt1);
  for (int i = 0; i < 5; ++i) Put32(out, 0);
  Put32(out, 0x1000);  // texture
  for (int i = 0; i < 4; ++i) Put32(out, 0);
  for (int by = 0; by < h; by += 4)
    for (int bx = 0; bx < w; bx += 4) {
      std::array<std::array<float, 3>, 16> px{};
      for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
          const Rgba& c = img.At(std::min(bx + x, w - 1), std::min(by + y, h - 1));
          px[size_t(y * 4 + x)] = {Clamp01(c.r), Clamp01(c.g), Clamp01(c.b)};
        }
      EncodeBlock(px, out);
    }
  return out;
}

bool DecodeDxt1Dds(const std::vector<uint8_t>& file, int& width, int& height,
                   std::vector<uint8_t>& rgba) {
  if (file.size() < 128 || Get32(file, 0) != kMagic || Get32(file, 84) != kDxt1) return false;
  height = int(Get32(file, 12));
  width = int(Get32(file, 16));
  const size_t blocks = size_t((width + 3) / 4) * size_t((height + 3) / 4);
  if (file.size() < 128 + blocks * 8) return false;
  rgba.assign(size_t(width) * size_t(height) * 4, 255);
  size_t at = 128;
  for (int by = 0; by < height; by += 4)
    for (int bx = 0; bx < width; bx += 4, at += 8) {
      const uint16_t c0 = uint16_t(file[at] | file[at + 1] << 8);
      const uint16_t c1 = uint16_t(file[at + 2] | file[at + 3] << 8);
      const uint32_t idx = Get32(file, at + 4);
      auto pal = Palette(c0, c1);
      if (c0 <= c1)
        for (size_t k = 0; k < 3; ++k) {
          pal[2][k] = (pal[0][k] + pal[1][k]) / 2;
          pal[3][k] = 0;
        }
      for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
          if (bx + x >= width || by + y >= height) continue;
          const auto& c = pal[(idx >> (2 * (y * 4 + x))) & 3];
          uint8_t* p = &rgba[(size_t(by + y) * size_t(width) + size_t(bx + x)) * 4];
          p[0] = uint8_t(c[0]);
          p[1] = uint8_t(c[1]);
          p[2] = uint8_t(c[2]);
        }
    }
  return true;
}

}  // namespace assetgen
