// Preview pictures for review: every sheet enlarged with its cells outlined, and mock screens
// drawn the way the game draws them (keyed sprites, the bitmap font, stretched text).
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "common/image/Png.h"
#include "tools/assetgen/pictures/Generate.h"
#include "tools/assetgen/pictures/Sheets.h"

namespace zarp::picgen {

namespace {

struct Rect {
    int32_t l, t, r, b;
};

struct Screen {
    Picture px{640, 480};

    // Keyed copy clipped to the screen.
    void Sprite(int32_t x, int32_t y, Rect s, const Picture& sheet) {
        for (int32_t yy = s.t; yy < s.b; ++yy) {
            for (int32_t xx = s.l; xx < s.r; ++xx) {
                if (!sheet.Inside(xx, yy)) continue;
                const uint8_t v = sheet.At(xx, yy);
                if (v != 0) px.Set(x + xx - s.l, y + yy - s.t, v);
            }
        }
    }
};

bool CellOf(char ch, bool scaled, int32_t* c, int32_t* r) {
    if (ch >= 'A' && ch <= 'M') return *c = ch - 'A', *r = 0, true;
    if (ch >= 'N' && ch <= 'Z') return *c = ch - 'N', *r = 1, true;
    if (ch >= 'a' && ch <= 'm') return *c = ch - 'a', *r = 2, true;
    if (ch >= 'n' && ch <= 'z') return *c = ch - 'n', *r = 3, true;
    if (ch == ' ') return *c = 0, *r = 4, true;
    if (ch >= '0' && ch <= '9') return *c = ch - '0' + 1, *r = 4, true;
    if (ch == '+') return *c = 11, *r = 4, true;
    if (ch == '-') return *c = 12, *r = 4, true;
    const std::string signs = ":*!/?@,.()&";
    const auto at = signs.find(ch);
    if (at != std::string::npos) return *c = static_cast<int32_t>(at), *r = 5, true;
    if (scaled) return false;
    const std::string ords = "{}[]|";
    const auto o = ords.find(ch);
    if (o != std::string::npos) return *c = static_cast<int32_t>(o), *r = 6, true;
    if (ch == '<') return *c = 11, *r = 6, true;
    if (ch == '>') return *c = 12, *r = 6, true;
    return false;
}

void Text(Screen& s, const Picture& font, int32_t x, int32_t y, const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        int32_t c = 0, r = 0;
        if (!CellOf(text[i], false, &c, &r)) continue;
        s.Sprite(x + 23 * static_cast<int32_t>(i), y, {24 * c, 24 * r, 24 * c + 23, 24 * r + 23},
                 font);
    }
}

// Stretched, keyed, nearest-neighbour: the way the display stretches a glyph.
void TextScaled(Screen& s, const Picture& font, int32_t x, int32_t y, const std::string& text,
                double scale) {
    for (size_t i = 0; i < text.size(); ++i) {
        int32_t c = 0, r = 0;
        if (!CellOf(text[i], true, &c, &r)) continue;
        const double k = 23.0 * static_cast<double>(i);
        const auto l = static_cast<int32_t>(x + k * scale);
        const auto rr = static_cast<int32_t>(x + k * scale + 23 * scale);
        const auto b = static_cast<int32_t>(y + 23 * scale);
        const int32_t w = rr - l, h = b - y;
        if (w <= 0 || h <= 0) continue;
        for (int32_t yy = 0; yy < h; ++yy) {
            for (int32_t xx = 0; xx < w; ++xx) {
                const uint8_t v = font.At(24 * c + xx * 23 / w, 24 * r + yy * 23 / h);
                if (v != 0) s.px.Set(l + xx, y + yy, v);
            }
        }
    }
}

using ColourTable = std::array<Rgb, 256>;

ColourTable TableOf(const Palette& pal) {
    ColourTable t;
    for (int i = 0; i < 256; ++i)
        t[i] = pal.Colour(static_cast<uint8_t>(i));
    return t;
}

std::vector<uint8_t> ToRgb(const Picture& p, const ColourTable& table, bool checkerForClear,
                           int32_t scale) {
    const int32_t w = p.width * scale, h = p.height * scale;
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const uint8_t v = p.At(x / scale, y / scale);
            Rgb c = table[v];
            if (v == 0 && checkerForClear) {
                const uint8_t g = ((x / 6 + y / 6) % 2) ? 70 : 100;
                c = {g, g, static_cast<uint8_t>(g + 20)};
            }
            const size_t o = (static_cast<size_t>(y) * w + x) * 3;
            rgb[o] = c.r;
            rgb[o + 1] = c.g;
            rgb[o + 2] = c.b;
        }
    }
    return rgb;
}

void OutlineCells(std::vector<uint8_t>& rgb, int32_t w, int32_t h, int32_t scale,
                  const std::vector<Rect>& cells) {
    auto dot = [&](int32_t x, int32_t y) {
        if (x < 0 || y < 0 || x >= w || y >= h) return;
        const size_t o = (static_cast<size_t>(y) * w + x) * 3;
        rgb[o] = 0;
        rgb[o + 1] = 255;
        rgb[o + 2] = 64;
    };
    for (const Rect& c : cells) {
        const int32_t l = c.l * scale, t = c.t * scale, r = c.r * scale - 1, b = c.b * scale - 1;
        for (int32_t x = l; x <= r; ++x) {
            dot(x, t);
            dot(x, b);
        }
        for (int32_t y = t; y <= b; ++y) {
            dot(l, y);
            dot(r, y);
        }
    }
}

bool Save(const std::string& path, int32_t w, int32_t h, const std::vector<uint8_t>& rgb,
          std::string* error) {
    return WritePngRgb(path, w, h, rgb, error);
}

bool SaveSheet(const std::string& dir, const std::string& name, const Picture& p,
               const Palette& pal, const std::vector<Rect>& cells, std::string* error) {
    const int32_t scale = 3;
    auto rgb = ToRgb(p, TableOf(pal), true, scale);
    OutlineCells(rgb, p.width * scale, p.height * scale, scale, cells);
    return Save(dir + "/sheet-" + name + ".png", p.width * scale, p.height * scale, rgb, error);
}

bool SaveScreen(const std::string& dir, const std::string& name, const Screen& s,
                const Palette& pal, std::string* error) {
    return Save(dir + "/screen-" + name + ".png", 640, 480, ToRgb(s.px, TableOf(pal), false, 1),
                error);
}

Rect BlockCell(int32_t type) {
    if (type <= 4) return {64 * type, 0, 64 * type + 64, 64};
    if (type <= 9) return {32 * (type - 5), 64, 32 * (type - 5) + 32, 96};
    if (type == 10) return {320, 0, 352, 32};
    if (type <= 15) return {32 * (type - 6), 64, 32 * (type - 6) + 32, 96};
    if (type == 16) return {0, 64, 32, 96};
    return {96, 64, 128, 96};
}

struct Placed {
    int32_t x, y, type;
};

// The stage field with one block of every type, as the stage start paints it.
Screen Field(const Sheets& sh, const Palette& pal) {
    Screen s;
    s.px.FillRect(0, 0, 640, 448, pal["grey12"]);
    for (int32_t i = 0; i < 19; ++i) {
        for (int32_t j = 0; j < 13; ++j)
            s.Sprite(16 + 32 * i, 16 + 32 * j, {352, 0, 384, 32}, sh.block);
    }
    const Placed blocks[] = {{48, 48, 0},    {144, 48, 1},   {240, 48, 2},   {336, 48, 3},
                             {432, 48, 4},   {48, 176, 5},   {112, 176, 6},  {176, 176, 7},
                             {240, 176, 8},  {304, 176, 9},  {560, 48, 10},  {48, 304, 11},
                             {112, 304, 12}, {176, 304, 13}, {240, 304, 14}, {304, 304, 15},
                             {368, 304, 16}, {432, 304, 17}, {80, 176, 5},   {80, 208, 5},
                             {48, 208, 5},   {528, 176, 11}, {560, 176, 11}, {592, 176, 14}};
    for (const Placed& b : blocks) {
        const Rect c = BlockCell(b.type);
        s.Sprite(b.x, b.y, c, sh.block);
    }
    return s;
}

void Hud(Screen& s, const Sheets& sh, int32_t stage, int32_t score, int32_t rest) {
    s.px.FillRect(0, 452, 639, 479, 0);
    Text(s, sh.font, 0, 452, "STAGE:" + std::to_string(stage));
    Text(s, sh.font, 200, 452, "SCORE:" + std::to_string(score));
    Text(s, sh.font, 490, 452, "REST:" + std::to_string(rest));
}

void Coins(Screen& s, const Sheets& sh) {
    const int32_t coins[][2] = {{400, 200}, {424, 200}, {448, 200}, {520, 260},
                                {560, 400}, {100, 400}, {130, 400}};
    for (const auto& c : coins)
        s.Sprite(c[0], c[1], {0, 0, 16, 16}, sh.coin);
}

}  // namespace

bool WritePreviews(const std::string& assetsDir, const std::string& fontPath,
                   const std::string& dir, std::string* error) {
    Sources src;
    if (!LoadSources(assetsDir, fontPath, &src, error)) return false;
    const Palette& pal = src.palette;
    Sheets sh;
    try {
        sh = BuildSheets(src);
    } catch (const std::exception& e) {
        *error = e.what();
        return false;
    }

    // The sheets, enlarged, with their cells outlined.
    if (!SaveSheet(dir, "player", sh.player, pal, {{0, 0, 16, 16}, {16, 0, 32, 16}}, error)) {
        return false;
    }
    std::vector<Rect> cells;
    for (int32_t i = 0; i < 8; ++i)
        cells.push_back({16 * i, 0, 16 * i + 16, 16});
    if (!SaveSheet(dir, "coin", sh.coin, pal, cells, error)) return false;
    cells.clear();
    for (int32_t t = 0; t <= 17; ++t)
        cells.push_back(BlockCell(t));
    cells.push_back({320, 64, 352, 96});
    cells.push_back({352, 64, 384, 96});
    cells.push_back({352, 0, 384, 32});
    cells.push_back({320, 32, 340, 33});
    cells.push_back({320, 48, 336, 64});
    if (!SaveSheet(dir, "block", sh.block, pal, cells, error)) return false;
    cells.clear();
    for (int32_t r = 0; r < 7; ++r) {
        for (int32_t c = 0; c < 13; ++c)
            cells.push_back({24 * c, 24 * r, 24 * c + 23, 24 * r + 23});
    }
    if (!SaveSheet(dir, "Font", sh.font, pal, cells, error)) return false;
    if (!SaveSheet(dir, "title", sh.title, pal, {{0, 0, 576, 110}, {0, 115, 576, 180}}, error)) {
        return false;
    }
    if (!SaveSheet(dir, "cwin", sh.cwin, pal,
                   {{0, 0, 480, 1},
                    {0, 17, 286, 50},
                    {286, 16, 318, 48},
                    {318, 16, 350, 48},
                    {0, 0, 16, 16}},
                   error)) {
        return false;
    }

    // Play: the field, coins, the ball with its marker, a hit text and the head-up display.
    {
        Screen s = Field(sh, pal);
        Coins(s, sh);
        const int32_t bx = 496, by = 368;
        const double angle = 300.0, k = 3.14159 / 90;
        s.Sprite(bx, by, {0, 0, 16, 16}, sh.player);
        s.Sprite(static_cast<int32_t>(bx + 24 * std::cos(angle * k)),
                 static_cast<int32_t>(by + 24 * std::sin(angle * k)), {16, 0, 32, 16}, sh.player);
        s.Sprite(300, 100, {0, 0, 16, 16}, sh.player);
        Text(s, sh.font, 370, 250, "3Hit!");
        Hud(s, sh, 1, 1234, 3);
        if (!SaveScreen(dir, "play", s, pal, error)) return false;
    }
    // The coin appearing, cells 7 down to 0, and the editor's view of every block type.
    {
        Screen s;
        s.px.FillRect(0, 0, 640, 480, pal["black"]);
        for (int32_t k = 7; k >= 0; --k) {
            s.Sprite(40 + (7 - k) * 24, 20, {16 * k, 0, 16 * k + 16, 16}, sh.coin);
        }
        for (int32_t t = 0; t <= 17; ++t) {
            Rect c;
            if (t <= 4)
                c = {64 * t, 0, 64 * t + 64, 64};
            else if (t <= 9)
                c = {32 * t - 160, 64, 32 * t - 128, 96};
            else if (t == 10)
                c = {320, 0, 352, 32};
            else
                c = {32 * t - 192, 64, 32 * t - 160, 96};
            const int32_t x = 20 + (t % 6) * 100, y = 60 + (t / 6) * 90;
            s.px.Blit(sh.block, c.l, c.t, c.r - c.l, c.b - c.t, x, y, false);
            Text(s, sh.font, x, y + 66, std::to_string(t));
        }
        if (!SaveScreen(dir, "editor-cells", s, pal, error)) return false;
    }
    // The title with its menu.
    {
        Screen s;
        for (int32_t i = -1; i <= 20; ++i) {
            for (int32_t j = -1; j <= 15; ++j)
                s.Sprite(32 * i + 1, 32 * j + 1, {286, 16, 318, 48}, sh.cwin);
        }
        TextScaled(s, sh.font, 320, 190, "Zarpane", 0.5);
        s.Sprite(32, 50, {0, 0, 576, 110}, sh.title);
        TextScaled(s, sh.font, 0, 460, "(C)1999 KUMO SOFT  All rights reserved.", 0.5);
        s.Sprite(185, 295 + 28, {0, 17, 286, 50}, sh.cwin);
        Text(s, sh.font, 190, 300, " START GAME");
        Text(s, sh.font, 202, 328, "  RANKING");
        Text(s, sh.font, 190, 356, "USER&S STAGE");
        Text(s, sh.font, 190, 384, "    EXIT");
        s.Sprite(170, 302 + 28, {16, 0, 32, 16}, sh.player);
        s.Sprite(469, 302 + 28, {16, 0, 32, 16}, sh.player);
        if (!SaveScreen(dir, "title", s, pal, error)) return false;
    }
    // The opening's logo in its final place.
    {
        Screen s;
        s.Sprite(32, 180, {0, 115, 576, 180}, sh.title);
        if (!SaveScreen(dir, "opening", s, pal, error)) return false;
        // The logo at three moments of its fade: the opening ramps entries 20-22 through reds
        // and 25-27 from (v, w, v) to grey v.
        Screen fade;
        const int32_t moments[] = {205, 216, 228};
        std::vector<uint8_t> rgb;
        for (int32_t m = 0; m < 3; ++m) {
            const int32_t t = moments[m];
            const int32_t v = ((8 * (200 - t)) % 256 + 256) % 256;
            const int32_t w = ((16 * (200 - t)) % 256 + 256) % 256;
            ColourTable table = TableOf(pal);
            for (int32_t i = 0; i < 3; ++i) {
                table[20 + i] = {static_cast<uint8_t>(v), 0, 0};
                const int32_t g = w + (v - w) * i / 3;
                table[25 + i] = {static_cast<uint8_t>(v), static_cast<uint8_t>(g),
                                 static_cast<uint8_t>(v)};
            }
            Screen band;
            band.Sprite(32, 180, {0, 115, 576, 180}, sh.title);
            const auto part = ToRgb(band.px.Crop(0, 170, 640, 85), table, false, 1);
            rgb.insert(rgb.end(), part.begin(), part.end());
        }
        if (!Save(dir + "/screen-opening-fade.png", 640, 255, rgb, error)) return false;
    }
    // The stage clear window over the field.
    {
        Screen s = Field(sh, pal);
        Coins(s, sh);
        s.Sprite(300, 100, {0, 0, 16, 16}, sh.player);
        for (int32_t c = 0; c < 30; ++c) {
            for (int32_t r = 0; r < 7; ++r)
                s.Sprite(80 + 16 * c, 160 + 16 * r, {0, 0, 16, 16}, sh.cwin);
        }
        s.Sprite(80, 160, {0, 0, 480, 50}, sh.cwin);
        TextScaled(s, sh.font, 80, 80, "CLEAR!!", 3);
        Text(s, sh.font, 90, 170, "MaxHit Bonus:3x 500");
        Text(s, sh.font, 90, 220, " Rest  Bonus:2x 800");
        Text(s, sh.font, 50, 400, "Let&s go to Next Stage!!");
        Hud(s, sh, 1, 4334, 2);
        if (!SaveScreen(dir, "clear", s, pal, error)) return false;
    }
    // The ranking over falling stars, and the name entry grid.
    {
        Screen s;
        uint32_t state = 12345;
        for (int32_t i = 0; i < 100; ++i) {
            state = state * 22695477u + 1u;
            const int32_t x = static_cast<int32_t>((state >> 16) & 0x7FFF) % 640;
            state = state * 22695477u + 1u;
            const int32_t y = static_cast<int32_t>((state >> 16) & 0x7FFF) % 480;
            s.Sprite(x, y, {320 + i % 20, 32, 321 + i % 20, 33}, sh.block);
        }
        const char* places[] = {"1{", "2}", "3[", "4]", "5]", "6]", "7]", "8]", "9]", "|]"};
        for (int32_t i = 0; i < 10; ++i) {
            Text(s, sh.font, 40, 20 + 30 * i, places[i]);
            Text(s, sh.font, 120, 20 + 30 * i, std::to_string(20000 - 1500 * i));
            Text(s, sh.font, 300, 20 + 30 * i, i == 0 ? "KUMO" : "Player");
        }
        Text(s, sh.font, 20, 380, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
        Text(s, sh.font, 20, 410, "abcdefghijklmnopqrstuvwxyz");
        Text(s, sh.font, 20, 440, " 0123456789+-:*!/?@,.()&<>");
        if (!SaveScreen(dir, "ranking", s, pal, error)) return false;
    }
    // The user stage selection.
    {
        Screen s;
        for (int32_t c = -1; c <= 20; ++c) {
            for (int32_t r = -1; r <= 15; ++r)
                s.Sprite(32 * c, 32 * r + 7, {318, 16, 350, 48}, sh.cwin);
        }
        const char* names[] = {"mystages", "hard one", "KUMO-01", "tutorial"};
        for (int32_t i = 0; i < 4; ++i)
            Text(s, sh.font, 24, 34 + 24 * i, names[i]);
        s.Sprite(2, 34 + 24 * 1, {320, 48, 336, 64}, sh.block);
        if (!SaveScreen(dir, "userselect", s, pal, error)) return false;
    }
    // The font at every scale the game uses, on dark and on light ground.
    {
        Screen s;
        s.px.FillRect(0, 240, 640, 480, pal["grey12"]);
        TextScaled(s, sh.font, 4, 4, "ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789", 0.5);
        TextScaled(s, sh.font, 4, 20, "abcdefghijklmnopqrstuvwxyz +-:*!/?@,.()&", 0.5);
        Text(s, sh.font, 4, 40, "The quick brown fox jumps");
        Text(s, sh.font, 4, 64, "over the lazy dog! 1{ 2} 3[ |]");
        TextScaled(s, sh.font, 4, 90, "STAGE:12", 3);
        TextScaled(s, sh.font, 4, 164, "Zarpane 2x", 2);
        TextScaled(s, sh.font, 4, 250, "ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789", 0.5);
        Text(s, sh.font, 4, 270, "SCORE:123450 REST:3 <>");
        TextScaled(s, sh.font, 4, 300, "GAME OVER!!", 3);
        TextScaled(s, sh.font, 4, 380, "Hit! x 500", 2);
        TextScaled(s, sh.font, 300, 440, "You can start to STAGE8", 0.75);
        if (!SaveScreen(dir, "font", s, pal, error)) return false;
    }
    return true;
}

}  // namespace zarp::picgen
