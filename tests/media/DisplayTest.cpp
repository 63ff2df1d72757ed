// The display: set-up, present, palette.dat, palette ramps, sheets.
#include <gtest/gtest.h>

#include "game/media/Bitmap.h"
#include "tests/media/TestSupport.h"

namespace zarp::test {
namespace {

using platform::Palette;
using platform::PaletteEntry;

TEST(CreateDisplay, WindowedOnAnEightBitDesktopAsksNothing) {
    MediaFixture f("", false);
    ASSERT_TRUE(f.media.CreateDisplay(false));
    EXPECT_TRUE(f.fake.dialogs.asked.empty());
    EXPECT_EQ(f.fake.screen.opened, std::vector<bool>{false});
    EXPECT_FALSE(f.media.fullScreen);
    EXPECT_EQ(f.media.desktopDepth, 8);
    EXPECT_TRUE(f.media.displayCreated);
    ASSERT_TRUE(f.media.backBuffer && f.media.primarySurface);
    EXPECT_EQ(f.media.backBuffer->width, 640);
    EXPECT_EQ(f.media.backBuffer->height, 480);
    EXPECT_EQ(f.media.primarySurface->pixels.size(), 640u * 480u);
}

TEST(CreateDisplay, ColourDepthQuestion) {
    struct Case {
        bool request;
        platform::Answer answer;
        bool asked, fullScreen;
        int32_t depth;
    };
    // The screen opens once, in the mode that the question left.
    for (const Case& c : {Case{false, platform::Answer::Yes, true, true, 8},
                          Case{false, platform::Answer::No, true, false, 32},
                          Case{true, platform::Answer::No, false, true, 8}}) {
        MediaFixture f("", false);
        f.fake.screen.depth = 32;
        f.fake.dialogs.answer = c.answer;
        ASSERT_TRUE(f.media.CreateDisplay(c.request));
        EXPECT_EQ(f.fake.dialogs.asked.size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(f.fake.dialogs.asked[0],
                      "答えて！？|この色好みじゃないから、フルスクリーンにしよっか？");
        }
        EXPECT_EQ(f.media.fullScreen, c.fullScreen);
        EXPECT_EQ(f.fake.screen.opened, std::vector<bool>{c.fullScreen});
        EXPECT_EQ(f.media.desktopDepth, c.depth);
    }
}

TEST(CreateDisplay, NoScreenFails) {
    MediaFixture f("", false);
    f.fake.screen.openResult = false;
    EXPECT_FALSE(f.media.CreateDisplay(true));
    EXPECT_FALSE(f.media.displayCreated);
    // Without a display, presenting and drawing do nothing.
    f.media.Present();
    f.media.ClearBackBuffer();
    f.media.PutPixel(1, 1, 1);
    f.media.DrawEllipse(18, 1, 320.0, 240.0, 100.0, 1.0, 1.0);
    f.media.FillRectRgb(f.media.backBuffer.get(), 0, 0, 10, 10, 0);
    EXPECT_EQ(f.fake.screen.shows, 0);
}

TEST(Present, ShowsTheBackBufferThroughThePalette) {
    MediaFixture f;
    f.media.backBuffer->At(3, 4) = 9;
    f.media.Present();
    ASSERT_EQ(f.fake.screen.shows, 1);
    EXPECT_EQ(f.fake.screen.lastPixels[4 * 640 + 3], 9);
    EXPECT_EQ(f.media.primarySurface->At(3, 4), 9);
    EXPECT_EQ(f.fake.screen.lastPalette, Palette{});  // no palette yet: all black

    Palette palette{};
    palette[9] = {10, 20, 30, 0};
    f.media.displayPalette = palette;
    f.media.ClearBackBuffer();
    EXPECT_EQ(f.media.backBuffer->At(3, 4), 0);
    f.media.Present();
    EXPECT_EQ(f.fake.screen.lastPalette, palette);
    EXPECT_EQ(f.fake.screen.lastPixels[4 * 640 + 3], 0);
}

// palette.dat with table entry i stored as the bytes i, i+1, i+2, i+3.
std::vector<uint8_t> PaletteFile(uint32_t headerSize, uint16_t bitCount, uint32_t coloursUsed,
                                 size_t length = 1078) {
    std::vector<uint8_t> bytes(1078, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutLe32(bytes, 14, headerSize);
    PutLe16(bytes, 28, bitCount);
    PutLe32(bytes, 46, coloursUsed);
    for (size_t i = 0; i < 256; ++i) {
        for (size_t b = 0; b < 4; ++b)
            bytes[54 + 4 * i + b] = static_cast<uint8_t>(i + b);
    }
    bytes.resize(length);
    return bytes;
}

TEST(LoadPalette, EntryRules) {
    struct Case {
        const char* what;
        uint32_t headerSize;
        uint16_t bitCount;
        uint32_t coloursUsed;
        size_t length;
        uint32_t turned;  // entries 0 .. turned-1 become red, green, blue, flags
    };
    const Case cases[] = {
        {"8 bits, all colours", 40, 8, 0, 1078, 256},
        {"header of 12 bytes", 12, 8, 0, 1078, 0},
        {"16 colours used at 4 bits", 40, 4, 16, 1078, 16},
        {"0 colours used means 2^bpp", 40, 4, 0, 1078, 16},
        {"1 bit", 40, 1, 0, 1078, 2},
        {"24 bits", 40, 24, 0, 1078, 0},
        {"colours used beyond 256", 40, 8, 300, 1078, 256},
        {"100 colours used", 40, 8, 100, 1078, 100},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir.Folder() + "palette.dat";
        WriteFile(path, PaletteFile(c.headerSize, c.bitCount, c.coloursUsed, c.length));
        MediaFixture f;
        ASSERT_TRUE(f.media.LoadPalette(path));
        ASSERT_TRUE(f.media.displayPalette);
        for (uint32_t i = 0; i < 256; ++i) {
            const auto b = [&](int k) { return static_cast<uint8_t>(i + k); };
            const PaletteEntry expected = i < c.turned ? PaletteEntry{b(2), b(1), b(0), b(3)}
                                                       : PaletteEntry{b(0), b(1), b(2), b(3)};
            ASSERT_EQ((*f.media.displayPalette)[i], expected) << "entry " << i;
        }
    }
}

TEST(LoadPalette, ShortFileReadsMissingBytesAsZero) {
    TempDir dir;
    const std::string path = dir.Folder() + "palette.dat";
    WriteFile(path, PaletteFile(40, 8, 0, 54 + 4 * 10 + 2));  // ten entries and a half
    MediaFixture f;
    ASSERT_TRUE(f.media.LoadPalette(path));
    const Palette& palette = *f.media.displayPalette;
    EXPECT_EQ(palette[9], (PaletteEntry{11, 10, 9, 12}));
    EXPECT_EQ(palette[10], (PaletteEntry{0, 11, 10, 0}));
    EXPECT_EQ(palette[11], PaletteEntry{});
    EXPECT_EQ(palette[255], PaletteEntry{});

    WriteFile(path, {});
    ASSERT_TRUE(f.media.LoadPalette(path));  // an empty file: 0 entries, everything zero
    EXPECT_EQ(*f.media.displayPalette, Palette{});
}

TEST(LoadPalette, MissingFileFailsAndADeepDesktopIgnoresIt) {
    TempDir dir;
    MediaFixture f;
    EXPECT_FALSE(f.media.LoadPalette(dir.Folder() + "palette.dat"));
    EXPECT_FALSE(f.media.LoadPalette(dir.path()));  // a folder
    EXPECT_FALSE(f.media.displayPalette);

    MediaFixture windowed("", false);
    windowed.fake.screen.depth = 32;
    ASSERT_TRUE(windowed.media.CreateDisplay(false));
    EXPECT_TRUE(windowed.media.LoadPalette(dir.Folder() + "palette.dat"));
    EXPECT_FALSE(windowed.media.displayPalette);
    EXPECT_FALSE(windowed.media.SetPaletteRamp(0, 0xFFFFFF, 0, 4, 20));
}

TEST(SetPaletteRamp, BlackToWhiteOverFourEntries) {
    MediaFixture f;
    Palette palette{};
    palette[24] = {1, 2, 3, 4};
    f.media.displayPalette = palette;
    ASSERT_TRUE(f.media.SetPaletteRamp(0x000000, 0xFFFFFF, 5, 4, 20));
    const Palette& p = *f.media.displayPalette;
    const uint8_t grey[] = {0, 63, 127, 191};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(p[20 + i], (PaletteEntry{grey[i], grey[i], grey[i], 5}));
    EXPECT_EQ(p[24], (PaletteEntry{1, 2, 3, 4}));
    EXPECT_EQ(p[19], PaletteEntry{});

    // Downwards and per channel: red 200 -> 0 over 3: 200, 133.33.., 66.66..
    ASSERT_TRUE(f.media.SetPaletteRamp(0x0000C8, 0x00FF00, 0, 3, 0));
    EXPECT_EQ(p[0], (PaletteEntry{200, 0, 0, 0}));
    EXPECT_EQ(p[1], (PaletteEntry{133, 85, 0, 0}));
    EXPECT_EQ(p[2], (PaletteEntry{66, 170, 0, 0}));

    // Single precision: red 0 to 2 over 12 entries reaches 1 at entry 6 (in double it would
    // still read 0.99999...).
    ASSERT_TRUE(f.media.SetPaletteRamp(0x000000, 0x000002, 0, 12, 100));
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(p[100 + i].red, i < 6 ? 0 : 1) << "entry " << i;

    // A ramp that would run past the palette is refused whole.
    const Palette before = p;
    EXPECT_FALSE(f.media.SetPaletteRamp(0, 0xFFFFFF, 0, 10, 250));
    EXPECT_FALSE(f.media.SetPaletteRamp(0, 0xFFFFFF, 0, 4, -1));
    EXPECT_EQ(p, before);
}

Palette TestPalette() {
    Palette palette{};  // entries without a colour stay black (after entry 0, so 0 wins)
    palette[1] = {1, 0, 0, 0};
    palette[5] = {200, 10, 10, 0};
    palette[6] = {10, 200, 10, 0};
    palette[7] = {255, 255, 255, 0};
    return palette;
}

TEST(FillRectRgb, NearestEntryOrTopLeftPixel) {
    MediaFixture f;
    f.media.displayPalette = TestPalette();
    Surface& back = *f.media.backBuffer;
    f.media.FillRectRgb(&back, 10, 10, 20, 12, 0x000AC0);  // red 192, green 10, blue 0
    EXPECT_EQ(back.At(10, 10), 5);
    EXPECT_EQ(back.At(19, 11), 5);
    EXPECT_EQ(back.At(20, 11), 0);
    EXPECT_EQ(back.At(19, 12), 0);
    f.media.FillRectRgb(&back, 0, 0, 1, 1, 0xF0F0F0);
    EXPECT_EQ(back.At(0, 0), 7);
    f.media.FillRectRgb(&back, 30, 30, 32, 32, 0xFFFFFFFF);  // the top-left pixel's value
    EXPECT_EQ(back.At(31, 31), 7);
    f.media.FillRectRgb(&back, 630, 0, 641, 10, 0x000AC0);  // leaves the surface: nothing
    EXPECT_EQ(back.At(635, 5), 0);
    f.media.FillRectRgb(nullptr, 0, 0, 10, 10, 0);
}

TEST(NearestPaletteIndex, ExactMatchThenFirstOfEqualDistances) {
    Palette palette = TestPalette();
    EXPECT_EQ(NearestPaletteIndex(palette, 0, 0, 0), 0);
    EXPECT_EQ(NearestPaletteIndex(palette, 1, 0, 0), 1);
    EXPECT_EQ(NearestPaletteIndex(palette, 105, 105, 10), 5);  // as far from 5 as from 6
    palette[9] = {10, 200, 10, 0};
    EXPECT_EQ(NearestPaletteIndex(palette, 10, 200, 10), 6);
}

const std::vector<Rgb> kSheetColours = {{0, 0, 0}, {1, 0, 0}, {190, 20, 5}, {12, 190, 12}};

uint32_t SheetPixel(int32_t x, int32_t y) {
    return static_cast<uint32_t>((x + 2 * y) % 4);
}

void ExpectSheet(const SurfacePtr& sheet, int32_t width, int32_t height) {
    ASSERT_TRUE(sheet);
    ASSERT_EQ(sheet->width, width);
    ASSERT_EQ(sheet->height, height);
    const uint8_t expected[] = {0, 1, 5, 6};  // through TestPalette
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            ASSERT_EQ(sheet->At(x, y), expected[SheetPixel(x, y)]) << x << "," << y;
        }
    }
}

TEST(DecodeBmp, EveryLayoutMapsToTheNearestEntry) {
    const Palette palette = TestPalette();
    const auto trueColour = [](int32_t x, int32_t y) {
        const Rgb c = kSheetColours[SheetPixel(x, y)];
        return (uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | c.blue;
    };
    ExpectSheet(DecodeBmp(MakeBmp(5, 3, 8, kSheetColours, SheetPixel), palette), 5, 3);
    ExpectSheet(DecodeBmp(MakeBmp(5, 3, 8, kSheetColours, SheetPixel, true), palette), 5, 3);
    ExpectSheet(DecodeBmp(MakeBmp(7, 3, 4, kSheetColours, SheetPixel), palette), 7, 3);
    ExpectSheet(DecodeBmp(MakeBmp(5, 4, 24, {}, trueColour), palette), 5, 4);
    ExpectSheet(DecodeBmp(MakeBmp(3, 2, 32, {}, trueColour, true), palette), 3, 2);
    // Bare bitmap information without the file header, as resources keep it.
    std::vector<uint8_t> bare = MakeBmp(5, 3, 8, kSheetColours, SheetPixel);
    bare.erase(bare.begin(), bare.begin() + 14);
    ExpectSheet(DecodeBmp(bare, palette), 5, 3);
}

TEST(DecodeBmp, MalformedDataGivesNoSurface) {
    const Palette palette = TestPalette();
    const std::vector<uint8_t> good = MakeBmp(5, 3, 8, kSheetColours, SheetPixel);
    ASSERT_TRUE(DecodeBmp(good, palette));
    // Every truncation: the last row may lack only its padding.
    for (size_t length = 0; length + 3 < good.size(); ++length) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<ptrdiff_t>(length));
        EXPECT_FALSE(DecodeBmp(cut, palette)) << "length " << length;
    }
    struct Mutation {
        const char* what;
        size_t offset;
        int size;
        uint32_t value;
    };
    const Mutation mutations[] = {
        {"width 0", 18, 4, 0},
        {"negative width", 18, 4, 0xFFFFFFFB},
        {"huge width", 18, 4, 100000},
        {"huge height", 22, 4, 0x7FFFFFFF},
        {"most negative height", 22, 4, 0x80000000},
        {"height 0", 22, 4, 0},
        {"16 bits per pixel", 28, 2, 16},
        {"0 bits per pixel", 28, 2, 0},
        {"run-length compressed", 30, 4, 1},
        {"bit fields", 30, 4, 3},
        {"unknown header size", 14, 4, 64},
        {"header size 0", 14, 4, 0},
        {"pixels past the end", 10, 4, 0xFFFFFF00},
        {"pixels inside the header", 10, 4, 20},
        {"colour table past the end", 46, 4, 0xFFFFFFFF},
        {"no planes", 26, 2, 0},
        {"not BM", 0, 2, 0x4142},
    };
    for (const Mutation& m : mutations) {
        std::vector<uint8_t> bad = good;
        if (m.size == 2)
            PutLe16(bad, m.offset, m.value);
        else
            PutLe32(bad, m.offset, m.value);
        EXPECT_FALSE(DecodeBmp(bad, palette)) << m.what;
    }
}

TEST(LoadSheet, ResourcesByNameInAnyCase) {
    MediaFixture f;
    f.media.displayPalette = TestPalette();
    const std::vector<uint8_t> font = MakeBmp(5, 3, 8, kSheetColours, SheetPixel);
    const std::vector<uint8_t> title = MakeBmp(2, 2, 8, kSheetColours, SheetPixel);
    const EmbeddedResource resources[] = {{"Font", font.data(), font.size()},
                                          {"title", title.data(), title.size()}};
    f.media.sheetResources = resources;
    ExpectSheet(f.media.LoadSheet("Font"), 5, 3);
    ExpectSheet(f.media.LoadSheet("FONT"), 5, 3);
    ExpectSheet(f.media.LoadSheet("font"), 5, 3);
    ExpectSheet(f.media.LoadSheet("TITLE"), 2, 2);
    EXPECT_FALSE(f.media.LoadSheet("coin"));
}

TEST(LoadSheet, BmpFileOfTheLowerCasedName) {
    TempDir dir;
    WriteFile(dir.Folder() + "pic.bmp", MakeBmp(5, 3, 8, kSheetColours, SheetPixel));
    WriteFile(dir.Folder() + "bad.bmp", {'B', 'M', 0, 0});
    WorkingFolder here(dir.path());
    MediaFixture f;
    f.media.displayPalette = TestPalette();
    ExpectSheet(f.media.LoadSheet("PIC.BMP"), 5, 3);
    ExpectSheet(f.media.LoadSheet("Pic.Bmp"), 5, 3);
    EXPECT_FALSE(f.media.LoadSheet("bad.bmp"));
    EXPECT_FALSE(f.media.LoadSheet("none.bmp"));
    EXPECT_FALSE(f.media.LoadSheet("."));  // a folder, not a file
}

TEST(LoadSheet, TheBuiltInSheetsLoadWhenTheProgramCarriesThem) {
    MediaFixture f;
    for (const EmbeddedResource& resource : EmbeddedResources()) {
        EXPECT_TRUE(f.media.LoadSheet(resource.name)) << resource.name;
    }
}

}  // namespace
}  // namespace zarp::test
