#include "tools/assetgen/pictures/Glyphs.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>
#include <cmath>

namespace zarp::picgen {

struct TrueTypeFont::Handles {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~Handles() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

TrueTypeFont::TrueTypeFont() : handles_(std::make_unique<Handles>()) {}
TrueTypeFont::~TrueTypeFont() = default;

bool TrueTypeFont::Open(const std::string& path, std::string* error) {
    if (FT_Init_FreeType(&handles_->library) != 0) {
        *error = "cannot start FreeType";
        return false;
    }
    if (FT_New_Face(handles_->library, path.c_str(), 0, &handles_->face) != 0) {
        *error = path + ": cannot open the font";
        return false;
    }
    return true;
}

bool TrueTypeFont::HasGlyph(char32_t code) const {
    return handles_->face && FT_Get_Char_Index(handles_->face, code) != 0;
}

RenderedText TrueTypeFont::Render(const std::u32string& text, double pixelSize, double xScale,
                                  double shear, int32_t letterGap) const {
    RenderedText out;
    FT_Face face = handles_->face;
    if (!face) return out;
    FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(pixelSize * 64.0)), 72, 72);
    FT_Matrix matrix;
    matrix.xx = static_cast<FT_Fixed>(std::lround(xScale * 65536.0));
    matrix.xy = static_cast<FT_Fixed>(std::lround(shear * 65536.0));
    matrix.yx = 0;
    matrix.yy = 0x10000;
    FT_Set_Transform(face, &matrix, nullptr);

    struct Placed {
        std::vector<uint8_t> bits;
        int32_t w, h, x, y;  // y: top relative to the baseline, downward positive
    };
    std::vector<Placed> placed;
    int32_t pen = 0;
    for (const char32_t c : text) {
        if (FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) != 0) continue;
        const FT_GlyphSlot g = face->glyph;
        Placed p;
        p.w = static_cast<int32_t>(g->bitmap.width);
        p.h = static_cast<int32_t>(g->bitmap.rows);
        p.x = pen + g->bitmap_left;
        p.y = -g->bitmap_top;
        p.bits.resize(static_cast<size_t>(p.w) * static_cast<size_t>(p.h));
        for (int32_t y = 0; y < p.h; ++y) {
            for (int32_t x = 0; x < p.w; ++x) {
                p.bits[static_cast<size_t>(y) * p.w + x] =
                    g->bitmap.buffer[y * g->bitmap.pitch + x];
            }
        }
        placed.push_back(std::move(p));
        pen += static_cast<int32_t>(std::lround(g->advance.x / 64.0)) + letterGap;
    }
    FT_Set_Transform(face, nullptr, nullptr);
    int32_t minX = INT32_MAX, minY = INT32_MAX, maxX = INT32_MIN, maxY = INT32_MIN;
    for (const Placed& p : placed) {
        for (int32_t y = 0; y < p.h; ++y) {
            for (int32_t x = 0; x < p.w; ++x) {
                if (p.bits[static_cast<size_t>(y) * p.w + x] == 0) continue;
                minX = std::min(minX, p.x + x);
                maxX = std::max(maxX, p.x + x);
                minY = std::min(minY, p.y + y);
                maxY = std::max(maxY, p.y + y);
            }
        }
    }
    out.advance = pen;
    if (minX > maxX) return out;
    out.left = minX;
    out.top = minY;
    out.mask = Mask(maxX - minX + 1, maxY - minY + 1);
    for (const Placed& p : placed) {
        for (int32_t y = 0; y < p.h; ++y) {
            for (int32_t x = 0; x < p.w; ++x) {
                const uint8_t v = p.bits[static_cast<size_t>(y) * p.w + x];
                const int32_t mx = p.x + x - minX;
                const int32_t my = p.y + y - minY;
                out.mask.Set(mx, my, std::max(v, out.mask.At(mx, my)));
            }
        }
    }
    return out;
}

}  // namespace zarp::picgen
