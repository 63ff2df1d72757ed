// Writes pictures as PNG files (headless frames, stage renders, previews).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zarp {

// Whether `pixels` holds the width * height * channels bytes of a picture that has any.
inline bool PictureSizeMatches(int32_t width, int32_t height, const std::vector<uint8_t>& pixels,
                               int32_t channels) {
    return width > 0 && height > 0 &&
           pixels.size() >= static_cast<size_t>(width) * height * static_cast<size_t>(channels);
}

// rgb: width * height * 3 bytes, row after row. Returns false with a message on failure.
bool WritePngRgb(const std::string& path, int32_t width, int32_t height,
                 const std::vector<uint8_t>& rgb, std::string* error);
// rgba: width * height * 4 bytes, row after row, alpha not premultiplied (native builds only:
// the browser build writes no such pictures).
bool WritePngRgba(const std::string& path, int32_t width, int32_t height,
                  const std::vector<uint8_t>& rgba, std::string* error);

}  // namespace zarp
