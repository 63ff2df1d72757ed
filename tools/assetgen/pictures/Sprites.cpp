// The ball sheet ("player") and the coin sheet.
#include <cmath>

#include "tools/assetgen/pictures/Draw.h"
#include "tools/assetgen/pictures/Sheets.h"

namespace zarp::picgen {

Picture BuildPlayerSheet(const Sources& src) {
    const Palette& pal = src.palette;
    Picture sheet(32, 16);

    // The ball: a polished steel ball, centre (8, 8), outlined so it reads on any block.
    Picture ball(16, 16);
    DrawSphere(ball, pal, "ball", 8.0, 8.0, 7.0);
    Outline(ball, pal["black"]);
    sheet.Paste(ball, 0, 0);

    // The aiming marker: a small glowing orb with a sparkle; the title sets two of them beside
    // its menu bar.
    Picture marker(16, 16);
    DrawSphere(marker, pal, "arrow", 8.0, 8.0, 4.3);
    Outline(marker, pal["black"]);
    marker.Paste(Need(src.maps, "marker_rays"), 0, 0);
    sheet.Paste(marker, 16, 0);
    return sheet;
}

namespace {

// A coin seen at a turn: face width rx (7 when it faces the viewer), height 7.
Picture Coin(const Palette& pal, double rx) {
    Picture c(16, 16);
    const double ry = 7.0, cx = 8.0, cy = 8.0;
    const auto gold = pal.Ramp("coin");
    for (int32_t y = 0; y < 16; ++y) {
        for (int32_t x = 0; x < 16; ++x) {
            const double nx = (x + 0.5 - cx) / rx;
            const double ny = (y + 0.5 - cy) / ry;
            const double d = std::sqrt(nx * nx + ny * ny);
            if (d > 1.0) continue;
            // Diagonal light: top-left bright, bottom-right deep.
            const double t = 0.5 - 0.35 * (nx + ny) / 1.4;
            const bool rim = d > 1.0 - 1.6 / std::min(rx, ry) || rx < 2.5;
            double level;
            if (rim) {
                level = t + 0.18;
            } else {
                // The face is sunk below the rim: lit from the opposite side.
                level = 0.85 - t * 0.6;
            }
            const int idx = std::clamp(static_cast<int>(level * 10.0), 1, 9);
            c.Set(x, y, gold[static_cast<size_t>(idx)]);
        }
    }
    if (rx >= 4.0) {
        // An embossed star on the face, squeezed with the turn.
        std::vector<Point> star;
        for (int i = 0; i < 10; ++i) {
            const double a = -3.14159265 / 2 + i * 3.14159265 / 5;
            const double r = (i % 2 == 0) ? 3.9 : 1.7;
            star.push_back({cx + std::cos(a) * r * rx / 7.0, cy + 0.3 + std::sin(a) * r});
        }
        Picture emboss(16, 16);
        FillPolygon(emboss, star, pal["coin9"]);
        for (int32_t y = 0; y < 16; ++y) {
            for (int32_t x = 0; x < 16; ++x) {
                if (emboss.At(x, y) == 0) continue;
                c.Set(x, y, emboss.At(x - 1, y - 1) == 0 ? pal["coin9"] : pal["coin7"]);
                if (emboss.At(x + 1, y + 1) == 0 && c.At(x + 1, y + 1) != 0) {
                    c.Set(x + 1, y + 1, pal["coin3"]);
                }
            }
        }
    }
    Outline(c, pal["black"]);
    return c;
}

}  // namespace

Picture BuildCoinSheet(const Sources& src) {
    const Palette& pal = src.palette;
    Picture sheet(128, 16);
    // Cell 0 the coin; a new coin runs through the cells 7, 6, ... 1 into it.
    sheet.Paste(Coin(pal, 7.0), 0, 0);
    sheet.Paste(Coin(pal, 5.0), 16, 0);
    sheet.Paste(Coin(pal, 2.6), 32, 0);
    sheet.Paste(Coin(pal, 1.0), 48, 0);
    sheet.Paste(Need(src.maps, "glint4"), 64, 0);
    sheet.Paste(Need(src.maps, "glint5"), 80, 0);
    sheet.Paste(Need(src.maps, "glint6"), 96, 0);
    sheet.Paste(Need(src.maps, "glint7"), 112, 0);
    return sheet;
}

}  // namespace zarp::picgen
