// Block-compressed DDS files (DXT1 for opaque pictures).
#pragma once

#include <cstdint>
#include <vector>

#include "raster.h"

namespace assetgen {

// Encodes an opaque image (width and height multiples of 4) as a DXT1 DDS
// file without mipmaps.
std::vector<uint8_t> EncodeDxt1Dds(const Image& img);
// Decodes the colour blocks of such a file back to pixels (for checks).
bool DecodeDxt1Dds(const std::vector<uint8_t>& file, int& width, int& height,
                   std::vector<uint8_t>& rgba);

}  // namespace assetgen
