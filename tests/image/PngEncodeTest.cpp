#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <vector>

#include "common/image/PngEncode.h"

namespace zarp {
namespace {

std::vector<uint8_t> DecodeRgb(const std::vector<uint8_t>& file, uint32_t& width,
                               uint32_t& height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
    width = image.width;
    height = image.height;
    return rgb;
}

// libpng reads back every pixel, from a picture of one stored block, of several (a frame of
// the game is 900 KiB), and of a row that ends exactly at a block's end.
TEST(PngEncode, LibpngReadsBackEveryPixel) {
    struct Case {
        uint32_t width, height;
    } cases[] = {{1, 1}, {3, 2}, {640, 480}, {21845, 1}};
    for (const Case& c : cases) {
        std::vector<uint8_t> rgb(static_cast<size_t>(c.width) * c.height * 3);
        for (size_t i = 0; i < rgb.size(); ++i)
            rgb[i] = static_cast<uint8_t>(i * 7 + i / 640);
        uint32_t width = 0, height = 0;
        EXPECT_EQ(DecodeRgb(EncodePngRgbStored(c.width, c.height, rgb), width, height), rgb)
            << c.width << " x " << c.height;
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
    }
}

}  // namespace
}  // namespace zarp
