// 8-bit uncompressed BMP files carrying the game's palette as their colour table.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/assetgen/pictures/Palette.h"
#include "tools/assetgen/pictures/Picture.h"

namespace zarp::picgen {

inline constexpr int32_t kBmpHeaderBytes = 14 + 40 + 256 * 4;  // 1078

// Bottom-up rows padded to 4 bytes, colours used 256, table entries blue, green, red, 0.
std::vector<uint8_t> EncodeBmp8(const Picture& picture, const Palette& palette);

// palette.dat: the same headers and table over a 1 x 1 picture of index 0.
std::vector<uint8_t> EncodePaletteFile(const Palette& palette);

}  // namespace zarp::picgen
