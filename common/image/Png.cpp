#include "common/image/Png.h"

#include <png.h>

namespace zarp {

namespace {

bool WritePng(const std::string& path, int32_t width, int32_t height,
              const std::vector<uint8_t>& pixels, png_uint_32 format, int32_t channels,
              std::string* error) {
    if (!PictureSizeMatches(width, height, pixels, channels)) {
        if (error) *error = path + ": picture size does not match its pixels";
        return false;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = format;
    if (!png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), width * channels,
                                 nullptr)) {
        if (error) *error = path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

}  // namespace

bool WritePngRgb(const std::string& path, int32_t width, int32_t height,
                 const std::vector<uint8_t>& rgb, std::string* error) {
    return WritePng(path, width, height, rgb, PNG_FORMAT_RGB, 3, error);
}

bool WritePngRgba(const std::string& path, int32_t width, int32_t height,
                  const std::vector<uint8_t>& rgba, std::string* error) {
    return WritePng(path, width, height, rgba, PNG_FORMAT_RGBA, 4, error);
}

}  // namespace zarp
