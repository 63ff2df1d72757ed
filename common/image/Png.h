// Writes pictures as PNG files (headless frames, stage renders, previews).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zarp {

// rgb: width * height * 3 bytes, row after row. Returns false with a message on failure.
bool WritePngRgb(const std::string& path, int32_t width, int32_t height,
                 const std::vector<uint8_t>& rgb, std::string* error);
// rgba: width * height * 4 bytes, row after row, alpha not premultiplied.
bool WritePngRgba(const std::string& path, int32_t width, int32_t height,
                  const std::vector<uint8_t>& rgba, std::string* error);

}  // namespace zarp
