// The window sheet: the wipe row, the window panel, the title's menu bar and two background tiles.
#include <algorithm>
#include <cmath>

#include "tools/assetgen/pictures/Draw.h"
#include "tools/assetgen/pictures/Sheets.h"

namespace zarp::picgen {

namespace {

// The window panel repeats every 16 pixels both ways, so the stage clear's checkerboard wipe
// (which paints strips of the top-left 16 x 16) and the window itself form one surface. Its top
// row is the wipe row: near-black on even columns, see-through on odd ones.
uint8_t Panel(const Palette& pal, int32_t x, int32_t y) {
    const int32_t px = x % 16, py = y % 16;
    if (py == 0) return (x % 2 == 0) ? pal["black"] : pal["clear"];
    if (py == 1 || px == 0) return pal["win9"];
    if (py == 15 || px == 15) return pal["win3"];
    const double t = 0.36 + 0.08 * (15 - px + 15 - py) / 28.0;
    return pal.RampAt("win", t + (Bayer4(x, y) < 0.25 ? 0.05 : 0.0));
}

Picture MenuBar(const Palette& pal) {
    const int32_t w = 286, h = 33;
    Picture p(w, h);
    const double r = 10.0;
    const auto bar = pal.Ramp("bar");
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double cx = std::clamp(px, r, w - r), cy = std::clamp(py, r, h - r);
            if (std::hypot(px - cx, py - cy) > r) continue;
            // Glossy: a bright upper half, a deep middle and light bounced back at the bottom.
            const double v = py / h;
            double t = v < 0.48 ? 0.92 - v * 0.5 : 0.38 + (v - 0.48) * 0.55;
            t += (Bayer4(x, y) - 0.5) * 0.06;
            t = std::clamp(t, 0.0, 0.999);
            p.Set(x, y, bar[static_cast<size_t>(t * static_cast<double>(bar.size()))]);
        }
    }
    for (int32_t x = 12; x < w - 12; ++x)
        p.Set(x, 3, pal["white"]);
    Outline(p, pal["black"]);
    // The outline must stay inside the 286 x 33 piece: redraw the rim as the border instead.
    Picture out(w, h);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const uint8_t v = p.At(x, y);
            if (v == 0) continue;
            const bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1 || p.At(x - 1, y) == 0 ||
                              p.At(x + 1, y) == 0 || p.At(x, y - 1) == 0 || p.At(x, y + 1) == 0;
            out.Set(x, y, edge ? pal["black"] : v);
        }
    }
    return out;
}

// The title's background: raised blue diamonds.
Picture TitleTile(const Palette& pal) {
    Picture p(32, 32);
    ForEach(p, 0, 0, 32, 32, [&](int32_t x, int32_t y, uint8_t) -> uint8_t {
        const double dx = x + 0.5 - 16.0, dy = y + 0.5 - 16.0;
        const double d = std::abs(dx) + std::abs(dy);
        if (d < 13.0) {
            if (d > 11.0) return (dy < 0) ? pal["win8"] : pal["win2"];
            return pal.RampAt("win", 0.33 + 0.1 * (-dx - dy) / 26.0);
        }
        if (d < 15.0) return pal["win1"];
        return pal["win4"];
    });
    p.Set(15, 15, pal["win9"]);
    p.Set(16, 16, pal["win7"]);
    return p;
}

// The user stage selection's background: round studs in the window's blues, so that the tile
// also sits quietly inside the stage clear window.
Picture UserTile(const Palette& pal) {
    Picture p(32, 32, pal["win5"]);
    for (int32_t y = 0; y < 32; ++y) {
        for (int32_t x = 0; x < 32; ++x) {
            if ((x + y) % 2 == 0 && (x % 16 == 0 || y % 16 == 0)) p.Set(x, y, pal["win3"]);
        }
    }
    const Point studs[] = {{8, 8}, {24, 24}};
    for (const Point& s : studs) {
        FillEllipse(p, s.first + 0.7, s.second + 0.7, 4.0, 4.0, pal["win2"]);
        DrawSphere(p, pal, "win", s.first, s.second, 3.6, false);
    }
    return p;
}

}  // namespace

Picture BuildCwinSheet(const Sources& src) {
    const Palette& pal = src.palette;
    Picture sheet(480, 50);
    for (int32_t y = 0; y < 50; ++y) {
        for (int32_t x = 0; x < 480; ++x)
            sheet.Set(x, y, Panel(pal, x, y));
    }
    sheet.Paste(MenuBar(pal), 0, 17, false);
    sheet.Paste(TitleTile(pal), 286, 16, false);
    sheet.Paste(UserTile(pal), 318, 16, false);
    return sheet;
}

}  // namespace zarp::picgen
