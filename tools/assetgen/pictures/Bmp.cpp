#include "tools/assetgen/pictures/Bmp.h"

namespace zarp::picgen {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

std::vector<uint8_t> EncodeBmp8(const Picture& picture, const Palette& palette) {
    const uint32_t stride = (static_cast<uint32_t>(picture.width) + 3u) & ~3u;
    const uint32_t imageBytes = stride * static_cast<uint32_t>(picture.height);
    std::vector<uint8_t> out;
    out.reserve(kBmpHeaderBytes + imageBytes);
    // File header.
    out.push_back('B');
    out.push_back('M');
    Put32(out, kBmpHeaderBytes + imageBytes);
    Put32(out, 0);
    Put32(out, kBmpHeaderBytes);
    // Information header.
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(picture.width));
    Put32(out, static_cast<uint32_t>(picture.height));
    Put16(out, 1);
    Put16(out, 8);
    Put32(out, 0);
    Put32(out, imageBytes);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 256);
    Put32(out, 0);
    for (int i = 0; i < 256; ++i) {
        const Rgb& c = palette.Colour(static_cast<uint8_t>(i));
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    for (int32_t y = picture.height - 1; y >= 0; --y) {
        for (int32_t x = 0; x < picture.width; ++x)
            out.push_back(picture.At(x, y));
        for (uint32_t pad = static_cast<uint32_t>(picture.width); pad < stride; ++pad) {
            out.push_back(0);
        }
    }
    return out;
}

std::vector<uint8_t> EncodePaletteFile(const Palette& palette) {
    return EncodeBmp8(Picture(1, 1), palette);
}

}  // namespace zarp::picgen
