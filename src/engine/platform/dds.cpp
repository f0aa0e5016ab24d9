#include "engine/platform/dds.h"

#include <cstring>

namespace tsv {

namespace {

constexpr uint32_t kMagic = 0x20534444; // "DDS "
constexpr uint32_t kFourCcFlag = 0x4;
constexpr uint32_t kRgbFlag = 0x40;
constexpr uint32_t kAlphaPixelsFlag = 0x1;
constexpr int kMaxSide = 16384;

uint32_t Read32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t FourCc(const char* s) { return Read32(reinterpret_cast<const uint8_t*>(s)); }

void Expand565(uint16_t c, int rgb[3])
{
    int r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    rgb[0] = (r << 3) | (r >> 2);
    rgb[1] = (g << 2) | (g >> 4);
    rgb[2] = (b << 3) | (b >> 2);
}

// Colour block of 8 bytes into 16 ARGB texels (alpha 255; DXT1 may give 0).
void DecodeColourBlock(const uint8_t* block, bool dxt1, uint32_t out[16])
{
    uint16_t c0 = Read16(block), c1 = Read16(block + 2);
    int p[4][4];
    Expand565(c0, p[0]);
    Expand565(c1, p[1]);
    p[0][3] = p[1][3] = 255;
    if (!dxt1 || c0 > c1) {
        for (int i = 0; i < 3; ++i) {
            p[2][i] = (2 * p[0][i] + p[1][i]) / 3;
            p[3][i] = (p[0][i] + 2 * p[1][i]) / 3;
        }
        p[2][3] = p[3][3] = 255;
    } else {
        for (int i = 0; i < 3; ++i) {
            p[2][i] = (p[0][i] + p[1][i]) / 2;
            p[3][i] = 0;
        }
        p[2][3] = 255;
        p[3][3] = 0;
    }
    uint32_t bits = Read32(block + 4);
    for (int i = 0; i < 16; ++i) {
        const int* c = p[(bits >> (2 * i)) & 3];
        out[i] = (static_cast<uint32_t>(c[3]) << 24) | (c[0] << 16) | (c[1] << 8) | c[2];
    }
}

void SetAlpha(uint32_t& texel, uint32_t alpha) { texel = (texel & 0x00FFFFFF) | (alpha << 24); }

int ShiftOf(uint32_t mask)
{
    int s = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++s;
    }
    return s;
}

uint32_t Channel(uint32_t value, uint32_t mask)
{
    if (!mask) {
        return 0;
    }
    uint32_t v = (value & mask) >> ShiftOf(mask);
    uint32_t max = mask >> ShiftOf(mask);
    return max ? v * 255 / max : 0;
}

} // namespace

bool DecodeDds(const uint8_t* data, size_t size, DecodedImage& image, std::string& error)
{
    if (size < 128 || Read32(data) != kMagic || Read32(data + 4) != 124) {
        error = "not a DDS file";
        return false;
    }
    int height = static_cast<int>(Read32(data + 12));
    int width = static_cast<int>(Read32(data + 16));
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        error = "bad image size";
        return false;
    }
    const uint8_t* pf = data + 76;
    uint32_t pfFlags = Read32(pf + 4);
    uint32_t fourCc = Read32(pf + 8);
    const uint8_t* body = data + 128;
    size_t bodySize = size - 128;
    image.width = width;
    image.height = height;
    // The pixels are allocated only once the body is known to hold them: a
    // header alone may claim 16384 x 16384.
    const auto allocate = [&image] {
        image.pixels.assign(static_cast<size_t>(image.width) * static_cast<size_t>(image.height), 0);
    };

    if (pfFlags & kFourCcFlag) {
        bool dxt1 = fourCc == FourCc("DXT1");
        bool dxt3 = fourCc == FourCc("DXT3");
        bool dxt5 = fourCc == FourCc("DXT5");
        if (!dxt1 && !dxt3 && !dxt5) {
            error = "unsupported compression";
            return false;
        }
        size_t blockBytes = dxt1 ? 8 : 16;
        size_t bw = static_cast<size_t>((width + 3) / 4), bh = static_cast<size_t>((height + 3) / 4);
        if (bodySize < bw * bh * blockBytes) {
            error = "file is truncated";
            return false;
        }
        allocate();
        for (size_t by = 0; by < bh; ++by) {
            for (size_t bx = 0; bx < bw; ++bx) {
                const uint8_t* block = body + (by * bw + bx) * blockBytes;
                uint32_t texels[16];
                DecodeColourBlock(block + (dxt1 ? 0 : 8), dxt1, texels);
                if (dxt3) {
                    for (int i = 0; i < 16; ++i) {
                        uint32_t a = (block[i / 2] >> ((i & 1) * 4)) & 15;
                        SetAlpha(texels[i], a * 17);
                    }
                } else if (dxt5) {
                    uint32_t a[8];
                    a[0] = block[0];
                    a[1] = block[1];
                    if (a[0] > a[1]) {
                        for (uint32_t i = 1; i < 7; ++i) a[i + 1] = ((7 - i) * a[0] + i * a[1]) / 7;
                    } else {
                        for (uint32_t i = 1; i < 5; ++i) a[i + 1] = ((5 - i) * a[0] + i * a[1]) / 5;
                        a[6] = 0;
                        a[7] = 255;
                    }
                    uint64_t bits = 0;
                    for (int i = 0; i < 6; ++i) bits |= static_cast<uint64_t>(block[2 + i]) << (8 * i);
                    for (int i = 0; i < 16; ++i) SetAlpha(texels[i], a[(bits >> (3 * i)) & 7]);
                }
                for (int i = 0; i < 16; ++i) {
                    size_t x = bx * 4 + static_cast<size_t>(i % 4), y = by * 4 + static_cast<size_t>(i / 4);
                    if (x < static_cast<size_t>(width) && y < static_cast<size_t>(height)) {
                        image.pixels[y * static_cast<size_t>(width) + x] = texels[i];
                    }
                }
            }
        }
        return true;
    }
    if (pfFlags & kRgbFlag) {
        uint32_t bits = Read32(pf + 12);
        if (bits != 24 && bits != 32) {
            error = "unsupported bit count";
            return false;
        }
        uint32_t rMask = Read32(pf + 16), gMask = Read32(pf + 20), bMask = Read32(pf + 24), aMask = Read32(pf + 28);
        size_t bpp = bits / 8;
        size_t pitch = static_cast<size_t>(width) * bpp;
        if (bodySize < pitch * static_cast<size_t>(height)) {
            error = "file is truncated";
            return false;
        }
        allocate();
        bool hasAlpha = (pfFlags & kAlphaPixelsFlag) && aMask;
        for (size_t y = 0; y < static_cast<size_t>(height); ++y) {
            for (size_t x = 0; x < static_cast<size_t>(width); ++x) {
                const uint8_t* p = body + y * pitch + x * bpp;
                uint32_t v = p[0] | (p[1] << 8) | (p[2] << 16) | (bpp == 4 ? static_cast<uint32_t>(p[3]) << 24 : 0);
                uint32_t a = hasAlpha ? Channel(v, aMask) : 255;
                image.pixels[y * static_cast<size_t>(width) + x] =
                    (a << 24) | (Channel(v, rMask) << 16) | (Channel(v, gMask) << 8) | Channel(v, bMask);
            }
        }
        return true;
    }
    error = "unsupported pixel format";
    return false;
}

} // namespace tsv
