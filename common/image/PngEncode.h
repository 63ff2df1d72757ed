// A PNG encoder of its own, for builds without libpng (the browser build's headless driver):
// the pictures are stored, not compressed, so the files are large but need nothing else.
#pragma once

#include <cstdint>
#include <vector>

namespace zarp {

// The PNG file of an 8-bit RGB picture; rgb holds width * height * 3 bytes, row after row.
std::vector<uint8_t> EncodePngRgbStored(uint32_t width, uint32_t height,
                                        const std::vector<uint8_t>& rgb);

}  // namespace zarp
