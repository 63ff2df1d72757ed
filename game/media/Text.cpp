// Text in the bitmap font: 13 x 7 cells of 23 x 23 pixels on a 24-pixel pitch.
#include <cmath>
#include <optional>

#include "game/media/MediaDevices.h"

namespace zarp {

namespace {

constexpr int32_t kGlyphPitch = 24;
constexpr int32_t kGlyphSize = 23;  // also the advance: neighbouring glyphs touch

struct GlyphCell {
    int32_t column, row;
};

// The cell of a character; the ordinal endings, "10" and the arrows (rows 6) only for text at
// 1:1. Characters without a cell draw nothing but still take their place.
std::optional<GlyphCell> CellOf(char ch, bool withRowSix) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 'A' && c <= 'M') return GlyphCell{c - 'A', 0};
    if (c >= 'N' && c <= 'Z') return GlyphCell{c - 'N', 1};
    if (c >= 'a' && c <= 'm') return GlyphCell{c - 'a', 2};
    if (c >= 'n' && c <= 'z') return GlyphCell{c - 'n', 3};
    if (c == ' ') return GlyphCell{0, 4};
    if (c >= '0' && c <= '9') return GlyphCell{c - '0' + 1, 4};
    if (c == '+') return GlyphCell{11, 4};
    if (c == '-') return GlyphCell{12, 4};
    constexpr std::string_view kRowFive = ":*!/?@,.()&";  // & is the apostrophe
    if (size_t at = kRowFive.find(ch); at != std::string_view::npos && c != 0) {
        return GlyphCell{static_cast<int32_t>(at), 5};
    }
    if (withRowSix) {
        constexpr std::string_view kRowSix = "{}[]|";  // st, nd, rd, th, 10
        if (size_t at = kRowSix.find(ch); at != std::string_view::npos && c != 0) {
            return GlyphCell{static_cast<int32_t>(at), 6};
        }
        if (c == '<') return GlyphCell{11, 6};  // left arrow
        if (c == '>') return GlyphCell{12, 6};  // end
    }
    return std::nullopt;
}

Rect CellRect(GlyphCell cell) {
    const int32_t left = kGlyphPitch * cell.column, top = kGlyphPitch * cell.row;
    return {left, top, left + kGlyphSize, top + kGlyphSize};
}

// Truncation toward zero for a coordinate; far-off values are pinned so the rectangle simply
// lands off the screen.
int32_t Coordinate(double value) {
    if (std::isnan(value)) return INT32_MIN;
    if (value <= -1e9) return -1000000000;
    if (value >= 1e9) return 1000000000;
    return static_cast<int>(value);
}

}  // namespace

void DrawText(MediaDevices& media, const Surface* fontSheet, int32_t x, int32_t y,
              const std::string& text) {
    if (!fontSheet) return;
    int64_t left = x;
    for (char ch : text) {
        if (left > INT32_MAX) break;
        if (auto cell = CellOf(ch, true)) {
            media.DrawSprite(static_cast<int32_t>(left), y, CellRect(*cell), fontSheet);
        }
        left += kGlyphSize;
    }
}

void DrawTextScaled(MediaDevices& media, const Surface* fontSheet, int32_t x, int32_t y,
                    const std::string& text, double scale) {
    if (!fontSheet || !media.backBuffer) return;
    int32_t k = 0;
    for (char ch : text) {
        if (auto cell = CellOf(ch, false)) {
            const Rect target{Coordinate(x + k * scale), y,
                              Coordinate(x + k * scale + kGlyphSize * scale),
                              Coordinate(y + kGlyphSize * scale)};
            // No clipping: a glyph leaving the screen is not drawn at all.
            Blt(*media.backBuffer, target, *fontSheet, CellRect(*cell), true);
        }
        if (k > INT32_MAX - kGlyphSize) break;
        k += kGlyphSize;
    }
}

}  // namespace zarp
