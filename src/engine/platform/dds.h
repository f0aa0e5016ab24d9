#pragma once
// A small reader for DDS textures: uncompressed 32/24-bit, DXT1, DXT3 and DXT5.

#include <cstdint>
#include <string>
#include <vector>

namespace tsv {

struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // ARGB, row by row
};

// Decodes the top mip level; false with a reason in `error` on malformed input.
bool DecodeDds(const uint8_t* data, size_t size, DecodedImage& image, std::string& error);

} // namespace tsv
