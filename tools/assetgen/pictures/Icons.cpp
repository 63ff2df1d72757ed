// The desktop icons of the game and the editor, put together from the sheets' own pieces: the
// goal block with the ball for the game, a steel block with a coin and the selection cursor for
// the editor. Each is 32 x 32 pixels of art, shown at whole multiples (32, 64, 128, 256), at 16 by
// halving and at 48 by halving three times the size, both halvings averaging 2 x 2 pixels.
#include <algorithm>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "common/image/Png.h"
#include "tools/assetgen/pictures/Generate.h"
#include "tools/assetgen/pictures/Sheets.h"

namespace zarp::picgen {

namespace {

// The art as colours with alpha, so that the halvings can average it.
struct Rgba {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> bytes;  // r, g, b, a per pixel
};

Rgba Colours(const Picture& art, const Palette& pal) {
    Rgba out{art.width, art.height,
             std::vector<uint8_t>(static_cast<size_t>(art.width) * art.height * 4)};
    for (int32_t y = 0; y < art.height; ++y) {
        for (int32_t x = 0; x < art.width; ++x) {
            const uint8_t index = art.At(x, y);
            const Rgb c = pal.Colour(index);
            uint8_t* p = &out.bytes[(static_cast<size_t>(y) * art.width + x) * 4];
            p[0] = c.r;
            p[1] = c.g;
            p[2] = c.b;
            p[3] = index == 0 ? 0 : 255;  // index 0 is the sheets' see-through colour
        }
    }
    return out;
}

Rgba Enlarged(const Rgba& in, int32_t scale) {
    Rgba out{in.width * scale, in.height * scale, {}};
    out.bytes.resize(static_cast<size_t>(out.width) * out.height * 4);
    for (int32_t y = 0; y < out.height; ++y) {
        for (int32_t x = 0; x < out.width; ++x) {
            const uint8_t* from =
                &in.bytes[(static_cast<size_t>(y / scale) * in.width + x / scale) * 4];
            std::copy(from, from + 4, &out.bytes[(static_cast<size_t>(y) * out.width + x) * 4]);
        }
    }
    return out;
}

// Each pixel the average of 2 x 2, colours weighted by their alpha.
Rgba Halved(const Rgba& in) {
    Rgba out{in.width / 2, in.height / 2, {}};
    out.bytes.resize(static_cast<size_t>(out.width) * out.height * 4);
    for (int32_t y = 0; y < out.height; ++y) {
        for (int32_t x = 0; x < out.width; ++x) {
            int32_t sum[4] = {0, 0, 0, 0};
            for (int32_t dy = 0; dy < 2; ++dy) {
                for (int32_t dx = 0; dx < 2; ++dx) {
                    const uint8_t* p =
                        &in.bytes[(static_cast<size_t>(2 * y + dy) * in.width + 2 * x + dx) * 4];
                    for (int32_t k = 0; k < 3; ++k)
                        sum[k] += p[k] * p[3];
                    sum[3] += p[3];
                }
            }
            uint8_t* q = &out.bytes[(static_cast<size_t>(y) * out.width + x) * 4];
            for (int32_t k = 0; k < 3; ++k)
                q[k] = sum[3] == 0 ? 0 : static_cast<uint8_t>((sum[k] + sum[3] / 2) / sum[3]);
            q[3] = static_cast<uint8_t>((sum[3] + 2) / 4);
        }
    }
    return out;
}

Picture GameArt(const Sheets& sh) {
    Picture art(32, 32);
    art.Blit(sh.block, 320, 0, 32, 32, 0, 0, true);  // the goal
    art.Blit(sh.player, 0, 0, 16, 16, 0, 16, true);  // the ball, about to touch it
    return art;
}

Picture EditorArt(const Sheets& sh) {
    Picture art(32, 32);
    art.Blit(sh.block, 0, 64, 32, 32, 0, 0, true);      // a steel block
    art.Blit(sh.coin, 0, 0, 16, 16, 8, 8, true);        // a coin placed on it
    art.Blit(sh.block, 320, 48, 16, 16, 16, 16, true);  // the selection cursor
    return art;
}

}  // namespace

bool WriteIcons(const std::string& assetsDir, const std::string& fontPath, const std::string& dir,
                std::string* error) {
    Sources src;
    if (!LoadSources(assetsDir, fontPath, &src, error)) return false;
    Sheets sh;
    try {
        sh = BuildSheets(src);
    } catch (const std::exception& e) {
        *error = e.what();
        return false;
    }
    const struct {
        const char* name;
        Picture art;
    } icons[] = {{"game", GameArt(sh)}, {"editor", EditorArt(sh)}};
    for (const auto& icon : icons) {
        const Rgba base = Colours(icon.art, src.palette);
        const std::vector<Rgba> sizes = {
            Halved(base),     base, Halved(Enlarged(base, 3)), Enlarged(base, 2), Enlarged(base, 4),
            Enlarged(base, 8)};
        for (const Rgba& size : sizes) {
            const std::string folder = dir + "/" + std::to_string(size.width);
            std::error_code ec;
            std::filesystem::create_directories(folder, ec);
            if (!WritePngRgba(folder + "/" + icon.name + ".png", size.width, size.height,
                              size.bytes, error)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace zarp::picgen
