#include "common/image/Png.h"

#include <png.h>

namespace zarp {

bool WritePngRgb(const std::string& path, int32_t width, int32_t height,
                 const std::vector<uint8_t>& rgb, std::string* error) {
    if (width <= 0 || height <= 0 || rgb.size() < static_cast<size_t>(width) * height * 3) {
        if (error) *error = path + ": picture size does not match its pixels";
        return false;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), width * 3, nullptr)) {
        if (error) *error = path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

}  // namespace zarp
