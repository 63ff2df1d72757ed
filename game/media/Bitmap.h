// Sheet bitmaps: decoding uncompressed BMP data into 8-bit surfaces through the palette in
// force, and finding the built-in sheets by name.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "game/media/MediaDevices.h"
#include "game/media/Resources.h"

namespace zarp {

// Biggest bitmap file LoadSheet reads, and the biggest picture it decodes.
inline constexpr size_t kMaxBitmapFileBytes = 64u * 1024 * 1024;
inline constexpr int64_t kMaxBitmapSide = 8192;
inline constexpr int64_t kMaxBitmapPixels = 16 * 1024 * 1024;

// The palette index whose colour is closest to (red, green, blue) by squared distance; of equal
// distances the lowest index wins, so an exact match always wins.
uint8_t NearestPaletteIndex(const platform::Palette& palette, uint8_t red, uint8_t green,
                            uint8_t blue);

// Decodes an uncompressed BMP of 1, 4, 8, 24 or 32 bits per pixel, bottom-up or top-down,
// given as a whole file ("BM" header) or as bare bitmap information plus pixels. Each pixel
// becomes the index of the nearest colour of `palette`. Null for anything malformed, truncated,
// compressed or too big.
SurfacePtr DecodeBmp(std::span<const uint8_t> bytes, const platform::Palette& palette);

// The resource whose name equals `name` without regard to case, or null.
const EmbeddedResource* FindResource(std::span<const EmbeddedResource> resources,
                                     std::string_view name);

}  // namespace zarp
