// The block sheet: every block type in both sizes, the goal, the field's floor tile, the star
// colours and the selection cursor.
#include <algorithm>
#include <cmath>
#include <string>

#include "tools/assetgen/pictures/Draw.h"
#include "tools/assetgen/pictures/Sheets.h"

namespace zarp::picgen {

namespace {

uint8_t Shade(const Palette& pal, const std::string& ramp, double t) {
    return pal.RampAt(ramp, t);
}

void Border(Picture& p, uint8_t index) {
    for (int32_t i = 0; i < p.width; ++i) {
        p.Set(i, 0, index);
        p.Set(i, p.height - 1, index);
    }
    for (int32_t i = 0; i < p.height; ++i) {
        p.Set(0, i, index);
        p.Set(p.width - 1, i, index);
    }
}

// Rebound 1.0: a riveted plate of polished steel, the hardest thing on the field.
Picture Steel(const Palette& pal, int32_t s) {
    Picture p(s, s);
    ForEach(p, 0, 0, s, s, [&](int32_t x, int32_t y, uint8_t) {
        double t = 0.62 - 0.28 * (x + y) / (2.0 * s);
        // Brushed grain and two diagonal glints.
        if (Hash(static_cast<uint32_t>(x / 3), static_cast<uint32_t>(y), 7) % 5 == 0) t -= 0.07;
        const int32_t d = (x - y + s) % s;
        if (d > s / 2 - s / 10 && d < s / 2 - s / 32) t += 0.22;
        if (d > s / 2 + s / 16 && d < s / 2 + s / 8) t += 0.1;
        return Shade(pal, "steel", t);
    });
    const int32_t bw = s >= 64 ? 3 : 2;
    Bevel(p, 1, 1, s - 1, s - 1, bw, pal["steel9"], pal["steel1"]);
    Bevel(p, 1 + bw, 1 + bw, s - 1 - bw, s - 1 - bw, 1, pal["steel2"], pal["steel8"]);
    if (s >= 64) {
        // A recessed inner panel.
        Bevel(p, 14, 14, s - 14, s - 14, 1, pal["steel2"], pal["steel8"]);
    }
    const double in = s >= 64 ? 8.5 : 6.0;
    std::vector<Point> rivets = {{in, in}, {s - in, in}, {in, s - in}, {s - in, s - in}};
    if (s >= 64) {
        rivets.push_back({s / 2.0, in});
        rivets.push_back({s / 2.0, s - in});
        rivets.push_back({in, s / 2.0});
        rivets.push_back({s - in, s / 2.0});
    }
    for (const Point& r : rivets) {
        FillEllipse(p, r.first + 0.6, r.second + 0.6, 2.2, 2.2, pal["steel0"]);
        DrawSphere(p, pal, "steel", r.first, r.second, 2.1, false);
        p.Set(static_cast<int32_t>(r.first) - 1, static_cast<int32_t>(r.second) - 1, pal["white"]);
    }
    Border(p, pal["black"]);
    return p;
}

// Rebound 0.8: a wall of fired bricks in running bond.
Picture Brick(const Palette& pal, int32_t s) {
    Picture p(s, s, pal["mortar"]);
    const int32_t h = 8;
    for (int32_t row = 0; row * h < s; ++row) {
        const int32_t offset = (row % 2) ? 8 : 0;
        for (int32_t bx = -16; bx < s; bx += 16) {
            const int32_t left = bx + offset;
            const int32_t top = row * h;
            const uint32_t n =
                Hash(static_cast<uint32_t>(left + 32), static_cast<uint32_t>(row), 3);
            const double base = 0.42 + 0.12 * static_cast<double>(n % 5) / 4.0;
            for (int32_t y = top; y < top + h - 1; ++y) {
                for (int32_t x = left; x < left + 15; ++x) {
                    double t = base;
                    if (y == top) t = base + 0.3;
                    if (x == left) t = base + 0.18;
                    if (y == top + h - 2 || x == left + 14) t = base - 0.25;
                    if (Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), 11) % 9 == 0) {
                        t -= 0.12;
                    }
                    p.Set(x, y, Shade(pal, "brick", t));
                }
            }
            // Light mortar along the top of each joint.
            for (int32_t x = left; x < left + 16; ++x)
                p.Set(x, top + h - 1, pal["mortar_light"]);
        }
    }
    Bevel(p, 1, 1, s - 1, s - 1, 1, pal["brick6"], pal["brick0"]);
    Border(p, pal["black"]);
    return p;
}

// Rebound 0.2: a plump, porous sponge with rounded corners.
Picture Sponge(const Palette& pal, int32_t s) {
    Picture p(s, s);
    const double r = s >= 64 ? 9.0 : 6.0;
    ForEach(p, 0, 0, s, s, [&](int32_t x, int32_t y, uint8_t old) -> uint8_t {
        const double px = x + 0.5, py = y + 0.5;
        const double cx = std::clamp(px, r, s - r), cy = std::clamp(py, r, s - r);
        const double dist = std::hypot(px - cx, py - cy);
        if (dist > r - 0.5) return old;
        // Pillow: bright in the upper left, swelling towards the middle.
        const double edge = std::min({px, py, s - px, s - py}) / (s / 2.0);
        double t =
            0.35 + 0.35 * std::sqrt(std::min(1.0, edge * 1.6)) - 0.2 * (px + py) / (2.0 * s) + 0.1;
        if (Bayer4(x, y) < 0.25 && edge < 0.2) t -= 0.08;
        return Shade(pal, "sponge", t);
    });
    // Pores of several sizes, each with a dark hollow and a lit lower lip.
    const int32_t count = s >= 64 ? 56 : 15;
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t h = Hash(static_cast<uint32_t>(i), static_cast<uint32_t>(s), 5);
        const double px = 5 + static_cast<double>(h % 1000) / 1000.0 * (s - 10);
        const double py = 5 + static_cast<double>((h / 1000) % 1000) / 1000.0 * (s - 10);
        const double pr = 0.9 + static_cast<double>((h >> 20) % 3) * 0.6;
        FillEllipse(p, px, py + 0.9, pr, pr * 0.85, pal["sponge8"]);
        FillEllipse(p, px, py, pr, pr * 0.85, pal["sponge1"]);
    }
    Outline(p, pal["black"]);
    // The outline sits inside the cell, so redraw it over the rim.
    ForEach(p, 0, 0, s, s, [&](int32_t x, int32_t y, uint8_t old) -> uint8_t {
        if (old == 0) return old;
        const bool edge = p.At(x - 1, y) == 0 || p.At(x + 1, y) == 0 || p.At(x, y - 1) == 0 ||
                          p.At(x, y + 1) == 0 || x == 0 || y == 0 || x == s - 1 || y == s - 1;
        return edge ? pal["black"] : old;
    });
    return p;
}

// Needles: a red plate bristling with steel spikes on every side.
Picture Needle(const Palette& pal, int32_t s) {
    Picture p(s, s);
    const int32_t in = s >= 64 ? 12 : 8;
    // Spikes: per edge a row of triangles pointing out, and one at every corner.
    const int32_t per = s >= 64 ? 4 : 2;
    const double step = static_cast<double>(s - 2 * in) / per;
    Picture spikes(s, s);
    auto spike = [&](Point base0, Point base1, Point tip) {
        // Two-tone: the half facing the light is bright.
        const Point mid = {(base0.first + base1.first) / 2, (base0.second + base1.second) / 2};
        FillPolygon(spikes, {base0, mid, tip}, pal["steel8"]);
        FillPolygon(spikes, {mid, base1, tip}, pal["steel3"]);
    };
    for (int32_t i = 0; i < per; ++i) {
        const double a = in + i * step, b = a + step, m = (a + b) / 2;
        spike({a, in + 1.0}, {b, in + 1.0}, {m, 0.5});              // up
        spike({b, s - in - 1.0}, {a, s - in - 1.0}, {m, s - 0.5});  // down
        spike({in + 1.0, b}, {in + 1.0, a}, {0.5, m});              // left
        spike({s - in - 1.0, a}, {s - in - 1.0, b}, {s - 0.5, m});  // right
    }
    const double c = in + 3.0;
    const double t = 1.5;
    spike({in + 0.0, c}, {c, in + 0.0}, {t, t});
    spike({s - c, in + 0.0}, {s - in + 0.0, c}, {s - t, t});
    spike({s - in + 0.0, s - c}, {s - c, s - in + 0.0}, {s - t, s - t});
    spike({c, s - in + 0.0}, {in + 0.0, s - c}, {t, s - t});
    Outline(spikes, pal["black"]);
    p.Paste(spikes, 0, 0);
    // The plate: deep red with hazard stripes round a studded core.
    const int32_t l = in - 1, r = s - in + 1;
    ForEach(p, l, l, r, r, [&](int32_t x, int32_t y, uint8_t) -> uint8_t {
        const double tt = 0.62 - 0.45 * (x + y - 2 * l) / (2.0 * (r - l));
        return Shade(pal, "needle", tt);
    });
    // The large plate wears hazard stripes; on the small one they would only be noise.
    const int32_t hz = s >= 64 ? 4 : 0;
    ForEach(p, l + 1, l + 1, r - 1, r - 1, [&](int32_t x, int32_t y, uint8_t old) -> uint8_t {
        const bool ring = x < l + 1 + hz || y < l + 1 + hz || x >= r - 1 - hz || y >= r - 1 - hz;
        if (!ring || hz == 0) return old;
        return ((x + y) / 3) % 2 ? pal["hazard"] : pal["black"];
    });
    Bevel(p, l, l, r, r, 1, pal["needle4"], pal["needle0"]);
    // A central spike seen from above: a four-pointed steel star turned on its corner (upright it
    // would read as a cross on red, the sign of help rather than harm).
    const double m = s / 2.0, k = s >= 64 ? 12.0 : 7.0, w = s >= 64 ? 3.5 : 2.2;
    Picture star(s, s);
    for (int32_t arm = 0; arm < 4; ++arm) {
        const double a = 3.14159265 / 4 + arm * 3.14159265 / 2;
        const double ca = std::cos(a), sa = std::sin(a);
        const Point tip = {m + ca * k, m + sa * k};
        const Point left = {m - sa * w, m + ca * w};
        const Point right = {m + sa * w, m - ca * w};
        // The side facing the upper left catches the light.
        const bool lit = arm == 2 || arm == 3;
        FillPolygon(star, {{m, m}, left, tip}, lit ? pal["steel9"] : pal["steel6"]);
        FillPolygon(star, {{m, m}, tip, right}, lit ? pal["steel7"] : pal["steel3"]);
    }
    Outline(star, pal["black"]);
    p.Paste(star, 0, 0);
    return p;
}

// Ice: a glassy, glossy slab: the ball glides over it without friction.
Picture Ice(const Palette& pal, int32_t s) {
    Picture p(s, s);
    ForEach(p, 0, 0, s, s, [&](int32_t x, int32_t y, uint8_t) -> uint8_t {
        double t = 0.78 - 0.3 * y / static_cast<double>(s) - 0.1 * x / static_cast<double>(s);
        const int32_t d = x + y;
        // Broad glossy streaks running up to the right.
        if (d > s * 0.35 && d < s * 0.55) t += 0.18;
        if (d > s * 0.62 && d < s * 0.7) t += 0.12;
        if (d > s * 1.2 && d < s * 1.26) t += 0.1;
        if (Bayer4(x, y) < 0.12 && t < 0.6) t -= 0.06;
        return Shade(pal, "ice", t);
    });
    // Cracks.
    const uint8_t crack = pal["ice3"];
    if (s >= 64) {
        Line(p, 40, 46, 50, 40, crack);
        Line(p, 50, 40, 56, 44, crack);
        Line(p, 50, 40, 52, 30, crack);
        Line(p, 12, 52, 20, 47, crack);
    } else {
        Line(p, 20, 24, 25, 20, crack);
        Line(p, 25, 20, 27, 23, crack);
    }
    Bevel(p, 1, 1, s - 1, s - 1, s >= 64 ? 2 : 1, pal["ice9"], pal["ice1"]);
    // Sparkles.
    auto twinkle = [&](int32_t x, int32_t y, int32_t r) {
        for (int32_t i = -r; i <= r; ++i) {
            p.Set(x + i, y, pal["ice8"]);
            p.Set(x, y + i, pal["ice8"]);
        }
        p.Set(x, y, pal["white"]);
    };
    twinkle(s / 4, s / 4, s >= 64 ? 3 : 2);
    if (s >= 64) twinkle(44, 16, 2);
    Border(p, pal["black"]);
    return p;
}

// The goal: a chequered flag on a glowing violet gem.
Picture Goal(const Sources& src) {
    const Palette& pal = src.palette;
    Picture p(32, 32);
    ForEach(p, 0, 0, 32, 32, [&](int32_t x, int32_t y, uint8_t) -> uint8_t {
        const double d = std::hypot(x + 0.5 - 14.0, y + 0.5 - 13.0) / 20.0;
        double t = 0.95 - d * 0.9;
        // Light rays from the middle.
        const double a = std::atan2(y + 0.5 - 16.0, x + 0.5 - 16.0);
        if (std::fmod(a + 4 * 3.14159265, 3.14159265 / 4) < 0.18) t += 0.15;
        return Shade(pal, "goal", t);
    });
    Bevel(p, 1, 1, 31, 31, 2, pal["coin8"], pal["coin2"]);
    p.Paste(Need(src.maps, "flag"), 8, 5);
    Border(p, pal["black"]);
    return p;
}

// Conveyor belt moving to the right; the other three are turned copies.
Picture ConveyorRight(const Palette& pal) {
    Picture p(32, 32, pal["belt"]);
    // Treads across the direction of travel.
    for (int32_t x = 0; x < 32; ++x) {
        const int32_t phase = x % 4;
        for (int32_t y = 4; y < 28; ++y) {
            if (phase == 0) p.Set(x, y, pal["grey6"]);
            if (phase == 1) p.Set(x, y, pal["belt_dark"]);
        }
    }
    // Side rails.
    for (int32_t x = 0; x < 32; ++x) {
        p.Set(x, 1, pal["grey10"]);
        p.Set(x, 2, pal["grey7"]);
        p.Set(x, 3, pal["grey4"]);
        p.Set(x, 28, pal["grey9"]);
        p.Set(x, 29, pal["grey6"]);
        p.Set(x, 30, pal["grey3"]);
        if (x % 8 == 3) {
            p.Set(x, 2, pal["grey14"]);
            p.Set(x, 29, pal["grey12"]);
        }
    }
    Picture arrow(32, 32);
    const std::vector<Point> shape = {{5, 12.5}, {15, 12.5}, {15, 7},  {27.5, 16},
                                      {15, 25},  {15, 19.5}, {5, 19.5}};
    FillPolygon(arrow, shape, pal["arrow4"]);
    ForEach(arrow, 0, 0, 32, 32, [&](int32_t x, int32_t y, uint8_t old) -> uint8_t {
        if (old == 0) return 0;
        if (arrow.At(x, y - 1) == 0) return pal["arrow7"];
        if (y < 16) return pal["arrow5"];
        if (arrow.At(x, y + 1) == 0 || arrow.At(x + 1, y) == 0) return pal["arrow1"];
        return old;
    });
    Outline(arrow, pal["black"]);
    p.Paste(arrow, 0, 0);
    Border(p, pal["black"]);
    return p;
}

Picture Turned(const Picture& src, int32_t quarter) {
    // quarter 1: a quarter turn anticlockwise (right becomes up); 2: mirrored left-right;
    // 3: a quarter turn clockwise (right becomes down).
    Picture out(src.width, src.height);
    const int32_t n = src.width - 1;
    for (int32_t y = 0; y < src.height; ++y) {
        for (int32_t x = 0; x < src.width; ++x) {
            uint8_t v = 0;
            if (quarter == 1) v = src.At(n - y, x);
            if (quarter == 2) v = src.At(n - x, y);
            if (quarter == 3) v = src.At(y, n - x);
            out.Set(x, y, v);
        }
    }
    return out;
}

// The booster: a round pad that flings the ball on at full speed.
Picture Booster(const Palette& pal) {
    Picture p(32, 32);
    FillEllipse(p, 16, 16, 15, 15, pal["boost1"]);
    ForEach(p, 0, 0, 32, 32, [&](int32_t x, int32_t y, uint8_t old) -> uint8_t {
        if (old == 0) return 0;
        const double d = std::hypot(x + 0.5 - 16.0, y + 0.5 - 16.0);
        double t = 0.95 - d / 15.0 * 0.8;
        if (d > 12.5) t = 0.55 - (x + y - 16) / 64.0;  // the rim, lit from the upper left
        if (d > 10.5 && d <= 12.5) t = 0.15;
        return Shade(pal, "boost", t);
    });
    // Eight chevrons flying outwards.
    for (int32_t i = 0; i < 8; ++i) {
        const double a = i * 3.14159265 / 4;
        const double ca = std::cos(a), sa = std::sin(a);
        auto at = [&](double along, double across) -> Point {
            return {16 + ca * along - sa * across, 16 + sa * along + ca * across};
        };
        FillPolygon(p, {at(4.0, -1.6), at(10.5, 0), at(4.0, 1.6)}, pal["boost9"]);
    }
    FillEllipse(p, 16, 16, 3.2, 3.2, pal["white"]);
    Outline(p, pal["black"]);
    return p;
}

// The two toggle blocks' own editor cells: half rebound block, half needle, with their letter.
Picture ToggleFace(const Sources& src, bool needleFirst) {
    const Palette& pal = src.palette;
    const Picture steel = Steel(pal, 32);
    const Picture needle = Needle(pal, 32);
    Picture p(32, 32);
    ForEach(p, 0, 0, 32, 32, [&](int32_t x, int32_t y, uint8_t) -> uint8_t {
        const bool upperLeft = x + y < 31;
        if (x + y == 31) return pal["hazard"];
        const bool useNeedle = upperLeft == needleFirst;
        const uint8_t v = useNeedle ? needle.At(x, y) : steel.At(x, y);
        return v == 0 ? pal["needle1"] : v;
    });
    const Picture& letter = Need(src.maps, needleFirst ? "letterB" : "letterA");
    if (needleFirst) {
        p.Paste(letter, 32 - 3 - letter.width, 32 - 3 - letter.height);
    } else {
        p.Paste(letter, 3, 3);
    }
    Border(p, pal["black"]);
    return p;
}

// The floor of the field, one 32 x 32 tile: dark and quiet, so blocks, coins and the ball stand
// out; a bevelled seam and a small stud mark the grid.
Picture FloorTile(const Palette& pal) {
    Picture p(32, 32, pal["floor2"]);
    ForEach(p, 1, 1, 31, 31, [&](int32_t x, int32_t y, uint8_t) -> uint8_t {
        return (x + y < 20) ? pal["floor3"] : pal["floor2"];
    });
    Bevel(p, 0, 0, 32, 32, 1, pal["floor4"], pal["floor0"]);
    FillPolygon(p, {{16, 12.5}, {19.5, 16}, {16, 19.5}, {12.5, 16}}, pal["floor1"]);
    FillPolygon(p, {{16, 13.5}, {18.5, 16}, {16, 18.5}, {13.5, 16}}, pal["floor3"]);
    return p;
}

}  // namespace

Picture BuildBlockSheet(const Sources& src) {
    const Palette& pal = src.palette;
    Picture sheet(384, 96);
    // Types 0-4 large at (64t, 0); types 5-9 the same in small at (32(t-5), 64).
    const Picture large[5] = {Steel(pal, 64), Brick(pal, 64), Sponge(pal, 64), Needle(pal, 64),
                              Ice(pal, 64)};
    const Picture small[5] = {Steel(pal, 32), Brick(pal, 32), Sponge(pal, 32), Needle(pal, 32),
                              Ice(pal, 32)};
    for (int32_t t = 0; t < 5; ++t) {
        sheet.Paste(large[t], 64 * t, 0, false);
        sheet.Paste(small[t], 32 * t, 64, false);
    }
    sheet.Paste(Goal(src), 320, 0, false);
    sheet.Paste(FloorTile(pal), 352, 0, false);
    // Types 11-15 at x 160..288: conveyors right, left, up, down, then the booster.
    const Picture right = ConveyorRight(pal);
    sheet.Paste(right, 160, 64, false);
    sheet.Paste(Turned(right, 2), 192, 64, false);
    sheet.Paste(Turned(right, 1), 224, 64, false);
    sheet.Paste(Turned(right, 3), 256, 64, false);
    sheet.Paste(Booster(pal), 288, 64, false);
    // Types 16 and 17 as the editor shows them.
    sheet.Paste(ToggleFace(src, false), 320, 64, false);
    sheet.Paste(ToggleFace(src, true), 352, 64, false);
    // Twenty star colours, one pixel each, for the ranking and the ending.
    const auto stars = pal.Ramp("star");
    for (int32_t i = 0; i < 20; ++i)
        sheet.Set(320 + i, 32, stars[static_cast<size_t>(i % stars.size())]);
    sheet.Paste(Need(src.maps, "cursor"), 320, 48, false);
    return sheet;
}

}  // namespace zarp::picgen
