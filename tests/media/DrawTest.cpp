// Sprites, copies, fills, dots and text in the back buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/media/TestSupport.h"

namespace zarp::test {
namespace {

// A picture whose every pixel is non-zero and tells where it came from.
Surface Picture(int32_t width, int32_t height) {
    Surface s{width, height, std::vector<uint8_t>(static_cast<size_t>(width * height))};
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x)
            s.At(x, y) = static_cast<uint8_t>(1 + (x + 37 * y) % 250);
    }
    return s;
}

// What the cell `source` of `sheet` drawn at (x, y) must leave on a black screen: each of its
// pixels that lands on the screen.
std::vector<uint8_t> Reference(const Surface& sheet, int32_t x, int32_t y, Rect source) {
    std::vector<uint8_t> screen(640 * 480, 0);
    for (int32_t v = source.top; v < source.bottom; ++v) {
        for (int32_t u = source.left; u < source.right; ++u) {
            const int32_t sx = x + u - source.left, sy = y + v - source.top;
            if (sx >= 0 && sx < 640 && sy >= 0 && sy < 480 && sheet.At(u, v) != 0) {
                screen[static_cast<size_t>(sy * 640 + sx)] = sheet.At(u, v);
            }
        }
    }
    return screen;
}

TEST(DrawSprite, ClipsToTheScreen) {
    const Surface sheet = Picture(64, 40);
    // A cell at the sheet's origin and one inside it: clipping moves the cell's own edges.
    const Rect cells[] = {{0, 0, 32, 16}, {8, 4, 40, 20}};
    const std::pair<int32_t, int32_t> places[] = {
        {-10, 0},  {630, 0},  {0, -5},    {0, 470},  {-10, -5}, {630, 470}, {100, 200},
        {-31, 10}, {-32, 10}, {639, 479}, {640, 10}, {10, 480}, {608, 464}, {-100, -100},
    };
    for (const Rect& cell : cells) {
        for (auto [x, y] : places) {
            MediaFixture f;
            f.media.DrawSprite(x, y, cell, &sheet);
            EXPECT_EQ(f.media.backBuffer->pixels, Reference(sheet, x, y, cell))
                << "cell at " << cell.left << "," << cell.top << " drawn at " << x << "," << y;
        }
    }
    // The two edges in words: 22 right columns at x 0; 10 left columns at x 630.
    MediaFixture f;
    f.media.DrawSprite(-10, 0, {0, 0, 32, 16}, &sheet);
    EXPECT_EQ(f.media.backBuffer->At(0, 0), sheet.At(10, 0));
    EXPECT_EQ(f.media.backBuffer->At(21, 15), sheet.At(31, 15));
    EXPECT_EQ(f.media.backBuffer->At(22, 0), 0);
    f.media.ClearBackBuffer();
    f.media.DrawSprite(630, 0, {0, 0, 32, 16}, &sheet);
    EXPECT_EQ(f.media.backBuffer->At(630, 0), sheet.At(0, 0));
    EXPECT_EQ(f.media.backBuffer->At(639, 0), sheet.At(9, 0));
}

TEST(DrawSprite, IndexZeroIsTransparent) {
    // Every value from 0 to 255 along a row, zeros scattered between.
    Surface sheet{300, 2, std::vector<uint8_t>(600)};
    for (int32_t x = 0; x < 300; ++x) {
        sheet.At(x, 0) = static_cast<uint8_t>(x % 3 == 0 ? 0 : x);
        sheet.At(x, 1) = static_cast<uint8_t>(x < 256 ? x : 0);
    }
    MediaFixture f;
    ColorFill(*f.media.backBuffer, {0, 0, 640, 480}, 77);
    f.media.DrawSprite(10, 10, {0, 0, 300, 2}, &sheet);
    // Narrow cells take another road through the copy; it must key the same way.
    for (int32_t left = 0; left + 8 <= 300; left += 8) {
        f.media.DrawSprite(10 + left, 20, {left, 0, left + 8, 2}, &sheet);
    }
    for (int32_t top : {10, 20}) {
        for (int32_t y = 0; y < 2; ++y) {
            for (int32_t x = 0; x < (top == 10 ? 300 : 296); ++x) {
                const uint8_t value = sheet.At(x, y);
                ASSERT_EQ(f.media.backBuffer->At(10 + x, top + y), value != 0 ? value : 77)
                    << x << "," << top + y;
            }
        }
    }
    EXPECT_EQ(f.media.backBuffer->At(310, 10), 77);
    // A plain copy takes the zeros along.
    BltFast(*f.media.backBuffer, 10, 11, sheet, {0, 0, 4, 1}, false);
    EXPECT_EQ(f.media.backBuffer->At(10, 11), 0);
}

TEST(DrawSprite, NothingFromNothing) {
    const Surface sheet = Picture(32, 16);
    MediaFixture f;
    f.media.DrawSprite(10, 10, {0, 0, 32, 16}, nullptr);
    f.media.DrawSprite(10, 10, {20, 0, 10, 16}, &sheet);  // reversed
    f.media.DrawSprite(10, 10, {5, 5, 5, 9}, &sheet);     // empty
    f.media.DrawSprite(INT32_MIN, INT32_MAX, {INT32_MIN, 0, INT32_MAX, 16}, &sheet);
    EXPECT_EQ(f.media.backBuffer->pixels, std::vector<uint8_t>(640 * 480, 0));
    MediaFixture noDisplay("", false);
    noDisplay.media.DrawSprite(0, 0, {0, 0, 32, 16}, &sheet);
}

TEST(BltFast, RectangleRules) {
    const Surface window = Picture(480, 50);
    struct Case {
        const char* what;
        int32_t x, y;
        Rect source;
        int32_t drawnLeft, drawnTop, drawnWidth, drawnHeight;  // width 0: nothing
        int32_t sourceLeft, sourceTop;
    };
    const Case cases[] = {
        // The stage clear's window asks for 112 rows of the 50-row window picture.
        {"source taller than its picture is refused", 80, 200, {0, 0, 480, 112}, 0, 0, 0, 0, 0, 0},
        {"source one row short of too tall", 80, 200, {0, 0, 480, 50}, 80, 200, 480, 50, 0, 0},
        {"inside", 5, 6, {10, 20, 30, 25}, 5, 6, 20, 5, 10, 20},
        {"source left of its picture is refused", 100, 100, {-5, 0, 10, 10}, 0, 0, 0, 0, 0, 0},
        {"source above its picture is refused", 100, 100, {0, -1, 10, 10}, 0, 0, 0, 0, 0, 0},
        {"destination leaves the right edge", 630, 0, {0, 0, 32, 16}, 0, 0, 0, 0, 0, 0},
        {"destination leaves the top", 0, -1, {0, 0, 32, 16}, 0, 0, 0, 0, 0, 0},
        {"source wholly beside its picture", 0, 0, {480, 0, 500, 10}, 0, 0, 0, 0, 0, 0},
        {"reversed", 0, 0, {10, 0, 0, 10}, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        MediaFixture f;
        BltFast(*f.media.backBuffer, c.x, c.y, window, c.source, true);
        std::vector<uint8_t> expected(640 * 480, 0);
        for (int32_t v = 0; v < c.drawnHeight; ++v) {
            for (int32_t u = 0; u < c.drawnWidth; ++u) {
                expected[static_cast<size_t>((c.drawnTop + v) * 640 + c.drawnLeft + u)] =
                    window.At(c.sourceLeft + u, c.sourceTop + v);
            }
        }
        EXPECT_EQ(f.media.backBuffer->pixels, expected) << c.what;
    }
}

TEST(Blt, StretchesWithNearestNeighbourAndRefusesRectanglesOffEitherSurface) {
    const Surface picture = Picture(3, 2);
    Surface target{7, 5, std::vector<uint8_t>(35, 0)};
    Blt(target, {1, 1, 7, 5}, picture, {0, 0, 3, 2}, false);  // 3 x 2 -> 6 x 4
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 6; ++x)
            EXPECT_EQ(target.At(1 + x, 1 + y), picture.At(x / 2, y / 2));
    }
    EXPECT_EQ(target.At(0, 0), 0);
    const Surface before = target;
    Blt(target, {2, 2, 8, 5}, picture, {0, 0, 3, 2}, false);   // one column too far
    Blt(target, {-1, 0, 3, 2}, picture, {0, 0, 3, 2}, false);  // one column too far left
    Blt(target, {3, 0, 1, 2}, picture, {0, 0, 3, 2}, false);   // reversed
    EXPECT_EQ(target.pixels, before.pixels);
    // A source reaching beyond its picture is refused, stretched or not.
    Surface wide{8, 4, std::vector<uint8_t>(32, 0)};
    Blt(wide, {0, 0, 6, 4}, picture, {0, 0, 6, 4}, false);
    Blt(wide, {0, 0, 3, 3}, picture, {0, 0, 3, 3}, false);
    Blt(wide, {0, 0, 8, 4}, picture, {-1, 0, 3, 2}, false);
    EXPECT_EQ(wide.pixels, std::vector<uint8_t>(32, 0));
}

TEST(ColorFillAndPutPixel, StayInsideTheSurface) {
    MediaFixture f;
    Surface& back = *f.media.backBuffer;
    ColorFill(back, {0, 0, 641, 1}, 5);  // leaves the surface: refused
    ColorFill(back, {3, 3, 3, 9}, 5);    // empty
    EXPECT_EQ(back.pixels, std::vector<uint8_t>(640 * 480, 0));
    f.media.PutPixel(639, 479, 0x1FF);
    f.media.PutPixel(640, 0, 9);
    f.media.PutPixel(-1, 0, 9);
    f.media.PutPixel(INT32_MAX, INT32_MAX, 9);
    EXPECT_EQ(back.At(639, 479), 0xFF);
    EXPECT_EQ(std::count(back.pixels.begin(), back.pixels.end(), 0), 640 * 480 - 1);
}

TEST(DrawEllipse, DotsOnTheCurveAndNeverOnRowOrColumnZero) {
    MediaFixture f;
    const Surface& back = *f.media.backBuffer;
    f.media.DrawEllipse(18, 9, 320.0, 240.0, 100.0, 1.0, 1.0);
    EXPECT_EQ(back.At(420, 240), 9);  // angle 0
    int dots = 0;
    for (int32_t y = 0; y < 480; ++y) {
        for (int32_t x = 0; x < 640; ++x) {
            if (back.At(x, y) == 0) continue;
            ++dots;
            EXPECT_NEAR(std::hypot(x - 320.0, y - 240.0), 100.0, 1.5) << x << "," << y;
        }
    }
    EXPECT_GT(dots, 500);  // about 1000 steps round the circle, neighbours may coincide

    MediaFixture edge;
    edge.media.DrawEllipse(1, 3, 0.0, 0.0, 40.0, 1.0, 1.0);
    const Surface& b = *edge.media.backBuffer;
    for (int32_t i = 0; i < 480; ++i)
        EXPECT_EQ(b.At(0, i), 0);
    for (int32_t i = 0; i < 640; ++i)
        EXPECT_EQ(b.At(i, 0), 0);
    EXPECT_EQ(b.At(28, 28), 3);  // 45 degrees: 40 * 0.7071 = 28.28

    // A step that never advances the angle draws nothing instead of running forever.
    MediaFixture stuck;
    stuck.media.DrawEllipse(0, 3, 320.0, 240.0, 40.0, 1.0, 1.0);
    stuck.media.DrawEllipse(-5, 3, 320.0, 240.0, 40.0, 1.0, 1.0);
    stuck.media.DrawEllipse(1, 3, 320.0, 240.0, 1e12, 1.0, 1.0);
    EXPECT_EQ(stuck.media.backBuffer->pixels, std::vector<uint8_t>(640 * 480, 0));
}

// The font: cell (c, r) is a checkerboard of its number 1 + c + 13 r and the transparent 0,
// with (0, 0) of each cell coloured.
Surface Font() {
    Surface font{311, 167, std::vector<uint8_t>(311 * 167, 0)};
    for (int32_t r = 0; r < 7; ++r) {
        for (int32_t c = 0; c < 13; ++c) {
            for (int32_t v = 0; v < 23; ++v) {
                for (int32_t u = 0; u < 23; ++u) {
                    if ((u + v) % 2 == 0)
                        font.At(24 * c + u, 24 * r + v) = static_cast<uint8_t>(1 + c + 13 * r);
                }
            }
        }
    }
    return font;
}

uint8_t Cell(int32_t c, int32_t r) {
    return static_cast<uint8_t>(1 + c + 13 * r);
}

TEST(DrawText, CharacterTable) {
    const Surface font = Font();
    struct Case {
        std::string text;
        std::vector<uint8_t> cells;  // 0: nothing drawn in that place
    };
    const Case cases[] = {
        {"AMNZamnz",
         {Cell(0, 0), Cell(12, 0), Cell(0, 1), Cell(12, 1), Cell(0, 2), Cell(12, 2), Cell(0, 3),
          Cell(12, 3)}},
        {" 09+-", {Cell(0, 4), Cell(1, 4), Cell(10, 4), Cell(11, 4), Cell(12, 4)}},
        {":*!/?@,.()",
         {Cell(0, 5), Cell(1, 5), Cell(2, 5), Cell(3, 5), Cell(4, 5), Cell(5, 5), Cell(6, 5),
          Cell(7, 5), Cell(8, 5), Cell(9, 5)}},
        {"1{", {Cell(2, 4), Cell(0, 6)}},  // 1st
        {"|]", {Cell(4, 6), Cell(3, 6)}},  // 10th
        {"2}3[", {Cell(3, 4), Cell(1, 6), Cell(4, 4), Cell(2, 6)}},
        {"USER&S", {Cell(7, 1), Cell(5, 1), Cell(4, 0), Cell(4, 1), Cell(10, 5), Cell(5, 1)}},
        {"<>", {Cell(11, 6), Cell(12, 6)}},
        {"\"A#$%';=\\^_`~\xE0Z", {0, Cell(0, 0), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, Cell(12, 1)}},
    };
    for (const Case& c : cases) {
        MediaFixture f;
        DrawText(f.media, &font, 10, 100, c.text);
        for (size_t i = 0; i < c.cells.size(); ++i) {
            const int32_t x = 10 + 23 * static_cast<int32_t>(i);
            EXPECT_EQ(f.media.backBuffer->At(x, 100), c.cells[i]) << c.text << " character " << i;
            EXPECT_EQ(f.media.backBuffer->At(x + 22, 122), c.cells[i])
                << c.text << " character " << i;
        }
        EXPECT_EQ(f.media.backBuffer->At(10 + 23 * static_cast<int32_t>(c.cells.size()), 100), 0)
            << c.text;
    }
}

TEST(DrawText, ClipsLikeASprite) {
    const Surface font = Font();
    MediaFixture f;
    DrawText(f.media, &font, -12, 0, "AB");               // A's right 11 columns, then B at 11
    EXPECT_EQ(f.media.backBuffer->At(0, 0), Cell(0, 0));  // (12 + 0) even
    EXPECT_EQ(f.media.backBuffer->At(1, 0), 0);           // transparent half of the checkerboard
    EXPECT_EQ(f.media.backBuffer->At(11, 0), Cell(1, 0));
}

TEST(DrawTextScaled, ScaleTwoMakesGlyphsOf46PlacedFortySixApart) {
    const Surface font = Font();
    MediaFixture f;
    ColorFill(*f.media.backBuffer, {0, 0, 640, 480}, 250);
    DrawTextScaled(f.media, &font, 100, 50, "AB", 2.0);
    const Surface& back = *f.media.backBuffer;
    for (int32_t i = 0; i < 2; ++i) {
        for (int32_t dy = 0; dy < 46; ++dy) {
            for (int32_t dx = 0; dx < 46; ++dx) {
                const int32_t u = dx / 2, v = dy / 2;
                const uint8_t expected = (u + v) % 2 == 0 ? Cell(i, 0) : 250;
                ASSERT_EQ(back.At(100 + 46 * i + dx, 50 + dy), expected)
                    << i << ": " << dx << "," << dy;
            }
        }
    }
    for (int32_t y = 40; y < 110; ++y)
        EXPECT_EQ(back.At(192, y), 250);
    for (int32_t x = 90; x < 200; ++x)
        EXPECT_EQ(back.At(x, 96), 250);
}

TEST(DrawTextScaled, EachGlyphFillsItsTruncatedRectangle) {
    // Solid cells: a glyph covers exactly the rectangle it is stretched to.
    Surface font{311, 167, std::vector<uint8_t>(311 * 167, 0)};
    for (int32_t r = 0; r < 7; ++r) {
        for (int32_t c = 0; c < 13; ++c)
            ColorFill(font, {24 * c, 24 * r, 24 * c + 23, 24 * r + 23}, Cell(c, r));
    }
    struct Case {
        int32_t x, y;
        std::string text;
        double scale;
        std::vector<Rect> boxes;  // of each glyph: trunc(x + 23 i s) .. trunc(x + 23 i s + 23 s)
    };
    const Case cases[] = {
        {320, 190, "ABC", 0.5, {{320, 190, 331, 201}, {331, 190, 343, 201}, {343, 190, 354, 201}}},
        {10, 20, "AB", 1.5, {{10, 20, 44, 54}, {44, 20, 79, 54}}},
        {7, 3, "AB", 1.3, {{7, 3, 36, 32}, {36, 3, 66, 32}}},
    };
    for (const Case& c : cases) {
        MediaFixture f;
        DrawTextScaled(f.media, &font, c.x, c.y, c.text, c.scale);
        const Surface& back = *f.media.backBuffer;
        for (size_t i = 0; i < c.boxes.size(); ++i) {
            const uint8_t ink = Cell(static_cast<int32_t>(i), 0);
            Rect box{640, 480, 0, 0};
            int64_t count = 0;
            for (int32_t y = 0; y < 480; ++y) {
                for (int32_t x = 0; x < 640; ++x) {
                    if (back.At(x, y) != ink) continue;
                    ++count;
                    box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                           std::max(box.bottom, y + 1)};
                }
            }
            const Rect& want = c.boxes[i];
            EXPECT_EQ(box.left, want.left) << c.scale << " glyph " << i;
            EXPECT_EQ(box.top, want.top) << c.scale << " glyph " << i;
            EXPECT_EQ(box.right, want.right) << c.scale << " glyph " << i;
            EXPECT_EQ(box.bottom, want.bottom) << c.scale << " glyph " << i;
            EXPECT_EQ(count, int64_t{want.right - want.left} * (want.bottom - want.top));
        }
    }
}

TEST(DrawTextScaled, GlyphsLeavingTheScreenAndSymbolsOfRowSixAreNotDrawn) {
    const Surface font = Font();
    MediaFixture f;
    DrawTextScaled(f.media, &font, 560, 0, "ABC", 2.0);  // A fits (560..606), B would end at 652
    const Surface& back = *f.media.backBuffer;
    EXPECT_EQ(back.At(560, 0), Cell(0, 0));
    EXPECT_EQ(std::count(back.pixels.begin() + 606, back.pixels.begin() + 640, 0), 34);
    MediaFixture g;
    DrawTextScaled(g.media, &font, 0, 0, "{|<", 1.0);
    DrawTextScaled(g.media, &font, 0, 470, "A", 1.0);  // bottom 493: off the screen
    DrawTextScaled(g.media, &font, -1, 100, "A", 1.0);
    EXPECT_EQ(g.media.backBuffer->pixels, std::vector<uint8_t>(640 * 480, 0));
    // Scale 1 draws like DrawText.
    MediaFixture one, plain;
    DrawTextScaled(one.media, &font, 7, 9, "Zarp 10+", 1.0);
    DrawText(plain.media, &font, 7, 9, "Zarp 10+");
    EXPECT_EQ(one.media.backBuffer->pixels, plain.media.backBuffer->pixels);
}

}  // namespace
}  // namespace zarp::test
