// The bitmap font: 13 x 7 glyphs of 23 x 23 pixels on a 24-pixel pitch, rendered from a bold
// TrueType face, outlined in black so the text reads on every background.
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "tools/assetgen/pictures/Draw.h"
#include "tools/assetgen/pictures/Sheets.h"

namespace zarp::picgen {

namespace {

constexpr int32_t kCell = 23;
constexpr int32_t kPitch = 24;
constexpr int32_t kBaseline = 17;  // row of the cell the letters stand on
constexpr int32_t kMaxInk = 19;    // widest ink, leaving room for the outline and the shadow
constexpr uint8_t kInk = 110;      // coverage from which a pixel is ink
constexpr double kWiden = 1.15;

enum class Tint { Letter, Digit };

struct GlyphPlan {
    std::u32string text;
    Tint tint = Tint::Letter;
    bool small = false;  // the ordinal endings: small letters, raised
};

GlyphPlan PlanAt(int32_t col, int32_t row) {
    auto one = [](char32_t c, Tint t = Tint::Letter) {
        return GlyphPlan{std::u32string(1, c), t, false};
    };
    switch (row) {
        case 0:
            return one(U'A' + col);
        case 1:
            return one(U'N' + col);
        case 2:
            return one(U'a' + col);
        case 3:
            return one(U'n' + col);
        case 4:
            if (col == 0) return {};
            if (col <= 10) return one(U'0' + col - 1, Tint::Digit);
            return one(col == 11 ? U'+' : U'\u2212', Tint::Digit);
        case 5: {
            static constexpr char32_t kSigns[] = U":*!/?@,.()\u2019";
            if (col <= 10) return one(kSigns[col]);
            return {};
        }
        case 6:
            if (col == 0) return {U"st", Tint::Letter, true};
            if (col == 1) return {U"nd", Tint::Letter, true};
            if (col == 2) return {U"rd", Tint::Letter, true};
            if (col == 3) return {U"th", Tint::Letter, true};
            if (col == 4) return {U"10", Tint::Digit, false};
            if (col == 11) return one(U'\u2190');
            if (col == 12) return one(U'\u21B5');
            return {};
        default:
            return {};
    }
}

}  // namespace

Picture BuildFontSheet(const Sources& src) {
    const Palette& pal = src.palette;
    Picture sheet(311, 167);
    // Size the face so that capitals stand 15 pixels tall.
    const RenderedText probe = src.font.Render(U"H", 40.0);
    const double em = 40.0 * 15.0 / std::max(1, probe.mask.height);
    const RenderedText probeSmall = src.font.Render(U"x", 40.0);
    const double xHeight = probeSmall.mask.height * em / 40.0;

    for (int32_t row = 0; row < 7; ++row) {
        for (int32_t col = 0; col < 13; ++col) {
            const GlyphPlan plan = PlanAt(col, row);
            if (plan.text.empty()) continue;
            for (const char32_t c : plan.text) {
                if (!src.font.HasGlyph(c)) throw std::runtime_error("the font lacks a glyph");
            }
            const double size = plan.small ? em * 0.78 : em;
            // A little wider than the face: the font is monospaced on a 23-pixel advance.
            double xScale = kWiden;
            RenderedText r = src.font.Render(plan.text, size, xScale);
            for (int tries = 0; tries < 8 && r.mask.width > kMaxInk; ++tries) {
                xScale *= static_cast<double>(kMaxInk) / r.mask.width * 0.98;
                r = src.font.Render(plan.text, size, xScale);
            }
            if (r.mask.width == 0) continue;
            // Centre the ink; the shadow adds a column on the right.
            const int32_t x0 = (kCell - 1 - r.mask.width) / 2;
            int32_t baseline = kBaseline;
            if (plan.small)
                baseline = kBaseline - static_cast<int32_t>(std::lround(xHeight * 0.45));
            int32_t y0 = baseline + r.top;
            if (plan.text == U"\u2190" || plan.text == U"\u21B5") {
                y0 = (kCell - 1 - r.mask.height) / 2;  // symbols sit in the middle
            }
            y0 = std::clamp(y0, 1, kCell - 2 - r.mask.height);
            Mask ink(kCell, kCell);
            for (int32_t y = 0; y < r.mask.height; ++y) {
                for (int32_t x = 0; x < r.mask.width; ++x) {
                    if (r.mask.At(x, y) >= kInk) ink.Set(x0 + x, y0 + y, 255);
                }
            }
            const Mask ring = Dilate(ink, 1);
            const int32_t capTop = kBaseline - 15;
            const int32_t split = capTop + 8;  // the lower half of a letter is a shade deeper
            Picture cell(kCell, kCell);
            for (int32_t y = 0; y < kCell; ++y) {
                for (int32_t x = 0; x < kCell; ++x) {
                    if (ring.In(x, y) || ring.In(x - 1, y - 1)) cell.Set(x, y, pal["black"]);
                }
            }
            for (int32_t y = 0; y < kCell; ++y) {
                for (int32_t x = 0; x < kCell; ++x) {
                    if (!ink.In(x, y)) continue;
                    uint8_t v;
                    if (plan.tint == Tint::Digit) {
                        v = y < split ? pal["digit_light"] : pal["digit"];
                        if (!ink.In(x, y - 1)) v = pal["white"];
                    } else {
                        v = y < split ? pal["white"] : pal["letter_shade"];
                    }
                    cell.Set(x, y, v);
                }
            }
            sheet.Paste(cell, kPitch * col, kPitch * row, false);
        }
    }
    return sheet;
}

}  // namespace zarp::picgen
