// The title sheet: the game's name in big sunset letters (rows 0-109) and the maker's logo band
// (rows 115-179) that the opening slides in and fades out through palette entries 20-22 and 25-27.
#include <algorithm>
#include <cmath>

#include "tools/assetgen/pictures/Draw.h"
#include "tools/assetgen/pictures/Sheets.h"

namespace zarp::picgen {

namespace {

Mask Shifted(const Mask& m, int32_t dx, int32_t dy, int32_t w, int32_t h, int32_t ox, int32_t oy) {
    Mask out(w, h);
    for (int32_t y = 0; y < m.height; ++y) {
        for (int32_t x = 0; x < m.width; ++x) {
            if (m.At(x, y) >= 110) out.Set(x + ox + dx, y + oy + dy, 255);
        }
    }
    return out;
}

void Sparkle(Picture& p, const Palette& pal, int32_t x, int32_t y, int32_t r) {
    for (int32_t i = -r; i <= r; ++i) {
        const uint8_t v = std::abs(i) <= r / 3 ? pal["white"] : pal["sun2"];
        p.Set(x + i, y, v);
        p.Set(x, y + i, v);
    }
    for (int32_t i = -r / 3; i <= r / 3; ++i) {
        p.Set(x + i, y + i, pal["sun1"]);
        p.Set(x + i, y - i, pal["sun1"]);
    }
    p.Set(x, y, pal["white"]);
}

void DrawGameTitle(Picture& sheet, const Sources& src) {
    const Palette& pal = src.palette;
    const int32_t w = 576, h = 110;
    RenderedText r = src.font.Render(U"Zarpane", 100.0, 1.0, 0.2, 2);
    // Fit the lettering: at most 88 rows tall and 530 wide.
    const double k = std::min(88.0 / r.mask.height, 530.0 / r.mask.width);
    const double xs = std::min(1.25, 530.0 / (r.mask.width * k));
    r = src.font.Render(U"Zarpane", 100.0 * k, xs, 0.2, 2);
    const int32_t depth = 6;
    const int32_t ox = (w - r.mask.width - depth) / 2;
    const int32_t oy = (h - r.mask.height - depth) / 2;
    const Mask face = Shifted(r.mask, 0, 0, w, h, ox, oy);
    Mask solid(w, h);
    for (int32_t d = 0; d <= depth; ++d) {
        const Mask s = Shifted(r.mask, d, d, w, h, ox, oy);
        for (size_t i = 0; i < s.cover.size(); ++i)
            solid.cover[i] |= s.cover[i];
    }
    Picture p(w, h);
    const Mask outer = Dilate(solid, 3);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            if (outer.In(x, y)) p.Set(x, y, pal["black"]);
        }
    }
    // The depth: far layers darkest.
    const auto deep = pal.Ramp("deep");
    for (int32_t d = depth; d >= 1; --d) {
        const Mask s = Shifted(r.mask, d, d, w, h, ox, oy);
        const size_t shade = static_cast<size_t>(std::clamp(7 - d, 0, 7));
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                if (s.In(x, y)) p.Set(x, y, deep[shade]);
            }
        }
    }
    const Mask rim = Dilate(face, 1);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            if (rim.In(x, y) && !face.In(x, y)) p.Set(x, y, pal["black"]);
        }
    }
    // The face: a sunset from pale yellow down to violet, with a bright lip on every top edge.
    const auto sun = pal.Ramp("sun");
    const int32_t top = oy, bottom = oy + r.mask.height;
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            if (!face.In(x, y)) continue;
            double t = static_cast<double>(y - top) / std::max(1, bottom - top);
            t = std::clamp(t + (Bayer4(x, y) - 0.5) * 0.05, 0.0, 0.999);
            uint8_t v = sun[static_cast<size_t>(t * static_cast<double>(sun.size()))];
            if (!face.In(x, y - 1) || !face.In(x, y - 2))
                v = pal["white"];
            else if (!face.In(x - 1, y) || !face.In(x - 2, y))
                v = sun[1];
            p.Set(x, y, v);
        }
    }
    // A chrome streak across the letters.
    const int32_t band = top + (bottom - top) * 38 / 100;
    for (int32_t x = 0; x < w; ++x) {
        for (int32_t y = band; y < band + 2; ++y) {
            if (face.In(x, y) && face.In(x, y - 3)) p.Set(x, y, sun[2]);
        }
    }
    Sparkle(p, pal, ox + 10, oy + 6, 7);
    Sparkle(p, pal, ox + r.mask.width - 30, oy + 22, 9);
    Sparkle(p, pal, ox + r.mask.width * 45 / 100, oy + 4, 5);
    sheet.Paste(p, 0, 0);
}

void DrawMakerLogo(Picture& sheet, const Sources& src) {
    const Palette& pal = src.palette;
    const int32_t w = 576, h = 65;
    Picture p(w, h);
    // Lettering first, to know how wide the whole logo is.
    RenderedText name = src.font.Render(U"KUMO SOFT", 46.0, 1.05, 0.0, 3);
    const int32_t cloudW = 92, gap = 18;
    const int32_t total = cloudW + gap + name.mask.width;
    const int32_t left = (w - total) / 2;

    // The emblem: a round cloud in the three logo reds, lit from the upper left, with a glint in
    // the logo's white.
    Picture cloud(cloudW + 8, h);
    const struct {
        double x, y, r;
    } puffs[] = {{22, 40, 14}, {45, 28, 20}, {68, 34, 15}, {83, 44, 10}};
    Mask body(cloud.width, h);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < cloud.width; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            bool inside = py > 38.0 && py < 54.0 && px > 18.0 && px < 88.0;
            for (const auto& c : puffs)
                inside = inside || std::hypot(px - c.x, py - c.y) <= c.r;
            if (inside) body.Set(x, y, 255);
        }
    }
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < cloud.width; ++x) {
            if (!body.In(x, y)) continue;
            uint8_t v = pal["logo_red"];
            if (!body.In(x - 2, y - 3) || !body.In(x - 1, y - 4)) v = pal["logo_red_light"];
            if (y > 47 || !body.In(x + 2, y + 3)) v = pal["logo_red_dark"];
            cloud.Set(x, y, v);
        }
    }
    FillEllipse(cloud, 37, 17, 3.5, 2.2, pal["logo_white"]);
    FillEllipse(cloud, 31.5, 21, 1.6, 1.4, pal["logo_white"]);
    Outline(cloud, pal["black"]);
    Outline(cloud, pal["black"]);
    p.Paste(cloud, left, 0);

    // The name, white fading to steel grey, outlined.
    const int32_t nx = left + cloudW + gap;
    const int32_t ny = (h - name.mask.height) / 2 + 2;
    Picture text(w, h);
    for (int32_t y = 0; y < name.mask.height; ++y) {
        for (int32_t x = 0; x < name.mask.width; ++x) {
            if (name.mask.At(x, y) < 110) continue;
            const double t = static_cast<double>(y) / name.mask.height;
            uint8_t v =
                t < 0.45 ? pal["logo_white"] : (t < 0.8 ? pal["logo_grey"] : pal["logo_grey_dark"]);
            text.Set(nx + x, ny + y, v);
        }
    }
    Outline(text, pal["black"]);
    Outline(text, pal["black"]);
    p.Paste(text, 0, 0);
    // A red underline from the cloud across the name.
    for (int32_t x = nx; x < nx + name.mask.width; ++x) {
        p.Set(x, ny + name.mask.height + 4, pal["logo_red_dark"]);
        p.Set(x, ny + name.mask.height + 5, pal["logo_red"]);
        p.Set(x, ny + name.mask.height + 6, pal["logo_red_dark"]);
    }
    sheet.Paste(p, 0, 115);
}

}  // namespace

Picture BuildTitleSheet(const Sources& src) {
    Picture sheet(576, 180);
    DrawGameTitle(sheet, src);
    DrawMakerLogo(sheet, src);
    return sheet;
}

}  // namespace zarp::picgen
