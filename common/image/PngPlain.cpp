// WritePngRgb for builds without libpng: the built-in encoder's stored pictures.
#include <cstdio>
#include <memory>

#include "common/image/Png.h"
#include "common/image/PngEncode.h"

namespace zarp {

bool WritePngRgb(const std::string& path, int32_t width, int32_t height,
                 const std::vector<uint8_t>& rgb, std::string* error) {
    if (!PictureSizeMatches(width, height, rgb, 3)) {
        if (error) *error = path + ": picture size does not match its pixels";
        return false;
    }
    const std::vector<uint8_t> png =
        EncodePngRgbStored(static_cast<uint32_t>(width), static_cast<uint32_t>(height), rgb);
    std::unique_ptr<FILE, int (*)(FILE*)> out(std::fopen(path.c_str(), "wb"), fclose);
    if (!out || std::fwrite(png.data(), 1, png.size(), out.get()) != png.size() ||
        std::fclose(out.release()) != 0) {
        if (error) *error = path + ": cannot be written";
        return false;
    }
    return true;
}

}  // namespace zarp
