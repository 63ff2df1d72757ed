// The generated pictures as the game reads them: BMP headers, the shared palette, and the cells
// whose contents the scenes rely on.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/assetgen/pictures/Generate.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t U32(const Bytes& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint32_t U16(const Bytes& b, size_t at) {
    return b[at] | b[at + 1] << 8;
}

struct Rgb {
    uint8_t r, g, b;
    bool operator<(const Rgb& o) const { return std::array{r, g, b} < std::array{o.r, o.g, o.b}; }
    bool operator==(const Rgb&) const = default;
};

// A decoded 8-bit BMP: its colour table and its pixels top row first.
struct Sheet {
    int32_t width = 0;
    int32_t height = 0;
    std::array<Rgb, 256> table{};
    std::vector<uint8_t> pixels;
    uint8_t At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    bool Opaque(int32_t l, int32_t t, int32_t r, int32_t b) const {
        for (int32_t y = t; y < b; ++y) {
            for (int32_t x = l; x < r; ++x) {
                if (At(x, y) == 0) return false;
            }
        }
        return true;
    }
    bool Empty(int32_t l, int32_t t, int32_t r, int32_t b) const {
        for (int32_t y = t; y < b; ++y) {
            for (int32_t x = l; x < r; ++x) {
                if (At(x, y) != 0) return false;
            }
        }
        return true;
    }
    std::vector<uint8_t> Cell(int32_t l, int32_t t, int32_t r, int32_t b) const {
        std::vector<uint8_t> out;
        for (int32_t y = t; y < b; ++y) {
            for (int32_t x = l; x < r; ++x)
                out.push_back(At(x, y));
        }
        return out;
    }
    std::set<uint8_t> Used(int32_t l, int32_t t, int32_t r, int32_t b) const {
        const auto c = Cell(l, t, r, b);
        return {c.begin(), c.end()};
    }
};

Sheet Decode(const Bytes& b) {
    Sheet s;
    if (b.size() < 1078) return s;
    s.width = static_cast<int32_t>(U32(b, 18));
    s.height = static_cast<int32_t>(U32(b, 22));
    for (int i = 0; i < 256; ++i) {
        s.table[i] = {b[54 + 4 * i + 2], b[54 + 4 * i + 1], b[54 + 4 * i]};
    }
    const size_t stride = (static_cast<size_t>(s.width) + 3) & ~size_t{3};
    if (s.width <= 0 || s.height <= 0 || b.size() < 1078 + stride * s.height) return s;
    s.pixels.resize(static_cast<size_t>(s.width) * s.height);
    for (int32_t y = 0; y < s.height; ++y) {
        const size_t row = 1078 + stride * static_cast<size_t>(s.height - 1 - y);
        for (int32_t x = 0; x < s.width; ++x)
            s.pixels[static_cast<size_t>(y) * s.width + x] = b[row + x];
    }
    return s;
}

class PictureAssets : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        for (const char* name : zarp::picgen::kSheetNames) {
            files_[name] = ReadFile(std::string(ZARP_TEST_SHEETS_DIR) + "/" + name + ".bmp");
            sheets_[name] = Decode(files_[name]);
        }
        palette_ = ReadFile(ZARP_TEST_PALETTE_DAT);
    }
    static const Sheet& S(const std::string& name) { return sheets_.at(name); }
    static uint8_t NearBlack() {
        for (int i = 0; i < 256; ++i) {
            if (S("block").table[i] == Rgb{1, 0, 0}) return static_cast<uint8_t>(i);
        }
        return 0;
    }

    static inline std::map<std::string, Bytes> files_;
    static inline std::map<std::string, Sheet> sheets_;
    static inline Bytes palette_;
};

TEST_F(PictureAssets, SheetsAreUncompressedEightBitBmpsOfTheirSizes) {
    const struct {
        const char* name;
        uint32_t w, h;
    } cases[] = {{"player", 32, 16}, {"coin", 128, 16},   {"block", 384, 96},
                 {"Font", 311, 167}, {"title", 576, 180}, {"cwin", 480, 50}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes& b = files_.at(c.name);
        ASSERT_GE(b.size(), 1078u);
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        const uint32_t stride = (c.w + 3) & ~3u;
        EXPECT_EQ(U32(b, 2), b.size());
        EXPECT_EQ(b.size(), 1078 + stride * c.h);
        EXPECT_EQ(U32(b, 10), 1078u);  // pixels right after the 256-entry table
        EXPECT_EQ(U32(b, 14), 40u);
        EXPECT_EQ(U32(b, 18), c.w);
        EXPECT_EQ(U32(b, 22), c.h);  // positive: bottom-up rows
        EXPECT_EQ(U16(b, 26), 1u);
        EXPECT_EQ(U16(b, 28), 8u);
        EXPECT_EQ(U32(b, 30), 0u);  // no compression
        EXPECT_EQ(U32(b, 46), 256u);
        // Every sheet carries the palette of palette.dat as its colour table.
        ASSERT_GE(palette_.size(), 1078u);
        EXPECT_TRUE(std::equal(b.begin() + 54, b.begin() + 1078, palette_.begin() + 54));
    }
}

TEST_F(PictureAssets, PaletteFileHeadersAndKeyColours) {
    ASSERT_GE(palette_.size(), 1078u);
    EXPECT_EQ(palette_[0], 'B');
    EXPECT_EQ(palette_[1], 'M');
    EXPECT_EQ(U32(palette_, 14), 40u);   // information header size
    EXPECT_LE(U16(palette_, 28), 8u);    // bits per pixel
    EXPECT_EQ(U32(palette_, 46), 256u);  // colours used
    const Sheet p = Decode(palette_);
    EXPECT_EQ(p.table[0], (Rgb{0, 0, 0}));
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(palette_[54 + 4 * i + 3], 0) << "reserved byte " << i;
    // The colours are all different, so mapping a sheet's colours to the nearest palette entry
    // gives back the very indices the sheet was drawn with; near-black is among them.
    std::set<Rgb> distinct(p.table.begin(), p.table.end());
    EXPECT_EQ(distinct.size(), 256u);
    EXPECT_EQ(distinct.count(Rgb{1, 0, 0}), 1u);
    // The booster's ring is dotted with the colour value FFFFFF, that is entry 255: it must
    // show white.
    EXPECT_GE(p.table[255].r, 240);
    EXPECT_GE(p.table[255].g, 240);
    EXPECT_GE(p.table[255].b, 240);
}

TEST_F(PictureAssets, LogoAloneUsesTheFadingEntries) {
    const std::set<uint8_t> fading = {20, 21, 22, 25, 26, 27};
    const Sheet& title = S("title");
    const auto logo = title.Used(0, 115, 576, 180);
    for (const uint8_t v : logo) {
        EXPECT_TRUE(v == 0 || v == NearBlack() || fading.count(v)) << "logo uses entry " << int(v);
    }
    for (const uint8_t v : fading)
        EXPECT_TRUE(logo.count(v)) << "logo lacks entry " << int(v);
    // Nothing else may change colour while the logo fades.
    for (const char* name : zarp::picgen::kSheetNames) {
        const Sheet& s = S(name);
        const int32_t bottom = std::string(name) == "title" ? 115 : s.height;
        for (const uint8_t v : s.Used(0, 0, s.width, bottom)) {
            EXPECT_FALSE(fading.count(v)) << name << " uses fading entry " << int(v);
        }
    }
}

TEST_F(PictureAssets, WipeRowAlternatesNearBlackAndTransparent) {
    const Sheet& cwin = S("cwin");
    ASSERT_NE(NearBlack(), 0);
    for (int32_t x = 0; x < 480; ++x) {
        EXPECT_EQ(cwin.At(x, 0), x % 2 == 0 ? NearBlack() : 0) << "column " << x;
    }
}

TEST_F(PictureAssets, KeyedSpritesHaveTransparentCornersAndSolidMiddles) {
    const struct {
        const char* sheet;
        int32_t l, t, r, b;
    } cells[] = {
        {"player", 0, 0, 16, 16},     // the ball
        {"player", 16, 0, 32, 16},    // the aiming marker
        {"coin", 0, 0, 16, 16},       // the coin
        {"block", 320, 48, 336, 64},  // the selection cursor
        {"cwin", 0, 17, 286, 50},     // the menu cursor bar
    };
    for (const auto& c : cells) {
        SCOPED_TRACE(std::string(c.sheet) + " cell at " + std::to_string(c.l) + "," +
                     std::to_string(c.t));
        const Sheet& s = S(c.sheet);
        EXPECT_EQ(s.At(c.l, c.t), 0);
        EXPECT_EQ(s.At(c.r - 1, c.t), 0);
        EXPECT_EQ(s.At(c.l, c.b - 1), 0);
        EXPECT_EQ(s.At(c.r - 1, c.b - 1), 0);
        EXPECT_NE(s.At((c.l + c.r) / 2, (c.t + c.b) / 2), 0);
    }
    // Every step of a coin's appearance shows something, the whole coin most of all.
    const Sheet& coin = S("coin");
    for (int32_t k = 1; k < 8; ++k) {
        EXPECT_FALSE(coin.Empty(16 * k, 0, 16 * k + 16, 16)) << "coin cell " << k;
        EXPECT_NE(coin.Cell(16 * k, 0, 16 * k + 16, 16), coin.Cell(0, 0, 16, 16));
    }
}

TEST_F(PictureAssets, BackgroundTilesAreOpaque) {
    // The title and the stage selection never clear the screen: their tiles must cover it.
    EXPECT_TRUE(S("cwin").Opaque(286, 16, 318, 48));
    EXPECT_TRUE(S("cwin").Opaque(318, 16, 350, 48));
    EXPECT_TRUE(S("block").Opaque(352, 0, 384, 32));
}

TEST_F(PictureAssets, StarColoursAreTwentyDistinctVisibleColours) {
    const Sheet& block = S("block");
    std::set<uint8_t> indices;
    std::set<Rgb> colours;
    for (int32_t i = 0; i < 20; ++i) {
        const uint8_t v = block.At(320 + i, 32);
        EXPECT_NE(v, 0) << "star " << i;
        EXPECT_NE(v, NearBlack()) << "star " << i;
        indices.insert(v);
        colours.insert(block.table[v]);
    }
    EXPECT_EQ(indices.size(), 20u);
    EXPECT_EQ(colours.size(), 20u);
}

TEST_F(PictureAssets, EveryBlockCellIsDrawnAndLooksDifferent) {
    struct Rect {
        int32_t l, t, r, b;
    };
    // Game cells of types 0-15 and the editor's own cells of 16 and 17.
    std::vector<Rect> cells;
    for (int32_t t = 0; t <= 17; ++t) {
        if (t <= 4)
            cells.push_back({64 * t, 0, 64 * t + 64, 64});
        else if (t <= 9)
            cells.push_back({32 * (t - 5), 64, 32 * (t - 4), 96});
        else if (t == 10)
            cells.push_back({320, 0, 352, 32});
        else
            cells.push_back({32 * t - 192, 64, 32 * t - 160, 96});
    }
    const Sheet& block = S("block");
    for (size_t i = 0; i < cells.size(); ++i) {
        const Rect& a = cells[i];
        EXPECT_GT(block.Used(a.l, a.t, a.r, a.b).size(), 4u) << "type " << i << " looks flat";
        // Compare the top-left 32 x 32 of every pair: also what the editor's preview shows.
        for (size_t j = i + 1; j < cells.size(); ++j) {
            const Rect& b = cells[j];
            EXPECT_NE(block.Cell(a.l, a.t, a.l + 32, a.t + 32),
                      block.Cell(b.l, b.t, b.l + 32, b.t + 32))
                << "types " << i << " and " << j << " look the same";
        }
    }
}

TEST_F(PictureAssets, FontCellsFollowTheGlyphTable) {
    const Sheet& font = S("Font");
    auto cell = [&](int32_t c, int32_t r) {
        return font.Used(24 * c, 24 * r, 24 * c + 23, 24 * r + 23);
    };
    const std::set<std::pair<int32_t, int32_t>> blanks = {{0, 4}, {11, 5}, {12, 5}, {5, 6}, {6, 6},
                                                          {7, 6}, {8, 6},  {9, 6},  {10, 6}};
    uint8_t white = 0, blue = 0;
    for (int i = 0; i < 256; ++i) {
        if (font.table[i] == Rgb{255, 255, 255}) white = static_cast<uint8_t>(i);
    }
    // Digits are light blue: their dominant colour is bluer than it is red.
    for (int32_t r = 0; r < 7; ++r) {
        for (int32_t c = 0; c < 13; ++c) {
            SCOPED_TRACE("cell " + std::to_string(c) + "," + std::to_string(r));
            const auto used = cell(c, r);
            if (blanks.count({c, r})) {
                EXPECT_EQ(used, std::set<uint8_t>{0});
                continue;
            }
            EXPECT_TRUE(used.count(0)) << "a glyph needs a transparent surround";
            EXPECT_TRUE(used.count(NearBlack())) << "a glyph is outlined";
            EXPECT_GE(used.size(), 3u);
            // Text advances 23 pixels, so the last column must stay clear for letters not to
            // run into each other.
            EXPECT_TRUE(font.Empty(24 * c + 22, 24 * r, 24 * c + 23, 24 * r + 23));
            if (r <= 3) {
                EXPECT_TRUE(used.count(white)) << "letters are white";
            }
        }
    }
    for (int32_t c = 1; c <= 10; ++c) {
        std::map<uint8_t, int> count;
        for (const uint8_t v : font.Cell(24 * c, 96, 24 * c + 23, 119)) {
            if (v != 0 && v != NearBlack()) ++count[v];
        }
        blue = 0;
        int best = 0;
        for (const auto& [v, n] : count) {
            if (n > best) best = n, blue = v;
        }
        EXPECT_GT(font.table[blue].b, font.table[blue].r + 60)
            << "digit " << c - 1 << " is light blue";
    }
}

TEST(PictureGeneration, IsDeterministicAndMatchesTheBuild) {
    std::map<std::string, Bytes> first, second;
    std::string error;
    ASSERT_TRUE(zarp::picgen::GeneratePictures(ZARP_TEST_PICTURE_SOURCES, ZARP_TEST_PICTURE_FONT,
                                               &first, &error))
        << error;
    ASSERT_TRUE(zarp::picgen::GeneratePictures(ZARP_TEST_PICTURE_SOURCES, ZARP_TEST_PICTURE_FONT,
                                               &second, &error))
        << error;
    EXPECT_EQ(first.size(), 7u);
    EXPECT_EQ(first, second);
    for (const char* name : zarp::picgen::kSheetNames) {
        const std::string file = std::string(name) + ".bmp";
        EXPECT_EQ(first[file], ReadFile(std::string(ZARP_TEST_SHEETS_DIR) + "/" + file)) << file;
    }
    EXPECT_EQ(first["palette.dat"], ReadFile(ZARP_TEST_PALETTE_DAT));
}

TEST(PictureGeneration, BrokenSourcesAreReportedWithFileAndLine) {
    const std::string dir = ::testing::TempDir() + "zarp-picgen-broken";
    std::filesystem::create_directories(dir);
    std::filesystem::copy_file(std::string(ZARP_TEST_PICTURE_SOURCES) + "/palette.txt",
                               dir + "/palette.txt",
                               std::filesystem::copy_options::overwrite_existing);
    const struct {
        const char* text;
        const char* expect;
    } cases[] = {
        {"key K nosuchcolour\n", "broken.txt:1: no palette colour named nosuchcolour"},
        {"key . clear\npicture p 2 2\n..\n.\n", "broken.txt:4: row of 1 characters, expected 2"},
        {"key . clear\npicture p 2 2\n.x\n..\n", "broken.txt:3: character 'x' has no key"},
        {"key . clear\npicture p 2 3\n..\n", "broken.txt:3: picture p ends early"},
        {"wobble\n", "broken.txt:1: unknown line \"wobble\""},
    };
    for (const auto& c : cases) {
        std::ofstream(dir + "/broken.txt") << c.text;
        std::map<std::string, Bytes> files;
        std::string error;
        EXPECT_FALSE(zarp::picgen::GeneratePictures(dir, ZARP_TEST_PICTURE_FONT, &files, &error));
        EXPECT_NE(error.find(c.expect), std::string::npos) << error;
    }
}

TEST(PictureGeneration, BrokenPaletteIsReported) {
    const std::string dir = ::testing::TempDir() + "zarp-picgen-palette";
    std::filesystem::create_directories(dir);
    std::string full;
    for (int i = 0; i < 256; ++i) {
        full += std::to_string(i) + " c" + std::to_string(i) + " " + std::to_string(i) + " 0 0\n";
    }
    const struct {
        std::string text;
        const char* expect;
    } cases[] = {
        {"0 clear 0 0 0\n", "entry 1 missing"},
        {full + "7 again 1 2 3\n", "palette.txt:257: entry 7 or name again given twice"},
        {"0 clear 0 0\n", "palette.txt:1: expected \"index name red green blue\""},
        {"0 clear 0 0 256\n", "palette.txt:1: expected"},
        {"256 clear 0 0 0\n", "palette.txt:1: expected"},
    };
    for (const auto& c : cases) {
        std::ofstream(dir + "/palette.txt") << c.text;
        std::map<std::string, Bytes> files;
        std::string error;
        EXPECT_FALSE(zarp::picgen::GeneratePictures(dir, ZARP_TEST_PICTURE_FONT, &files, &error));
        EXPECT_NE(error.find(c.expect), std::string::npos) << error;
    }
}

}  // namespace
