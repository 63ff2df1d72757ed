// The README shows the legend the build paints: its table word for word, and in docs/blocks/
// the pictures of the block types pixel for pixel. After a change to the block sheet or to the
// table of block types, `make docs-legend` brings them up to date.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/Files.h"

namespace {

using zarp::testing_support::ReadBytes;

// The pixels of a PNG as RGBA, with its size; empty when it cannot be read.
std::vector<uint8_t> Pixels(const std::string& path, uint32_t& width, uint32_t& height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
    width = image.width;
    height = image.height;
    return pixels;
}

TEST(Legend, TheReadmeShowsTheLegendTheBuildPaints) {
    const std::string legend = ReadBytes(std::string(ZARP_TEST_LEGEND_DIR) + "/legend.md");
    ASSERT_FALSE(legend.empty());
    const std::string readme = ReadBytes(std::string(ZARP_TEST_SOURCE_DIR) + "/README.md");
    EXPECT_NE(readme.find("\n" + legend), std::string::npos)
        << "README.md's legend differs from the build's; run make docs-legend";
    for (int type = 0; type <= 17; ++type) {
        char name[32];
        std::snprintf(name, sizeof name, "/block%02d.png", type);
        uint32_t w = 0, h = 0, shippedW = 0, shippedH = 0;
        const std::vector<uint8_t> built = Pixels(std::string(ZARP_TEST_LEGEND_DIR) + name, w, h);
        const std::vector<uint8_t> shipped =
            Pixels(std::string(ZARP_TEST_SOURCE_DIR) + "/docs/blocks" + name, shippedW, shippedH);
        ASSERT_FALSE(built.empty()) << name;
        EXPECT_EQ(w, 64u);
        EXPECT_EQ(h, 64u);
        EXPECT_EQ(shippedW, w) << name;
        EXPECT_EQ(shippedH, h) << name;
        EXPECT_TRUE(shipped == built)
            << "docs/blocks" << name << " differs from the build's; run make docs-legend";
    }
}

}  // namespace
