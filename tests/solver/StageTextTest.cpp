#include <gtest/gtest.h>

#include <string>

#include "tools/assetgen/stages/StageText.h"

namespace zarp::stagetext {
namespace {

std::string Map(const std::string& header, const std::string& rows) {
    return header + "map\n" + rows;
}

// 13 rows; the first ones given, the rest empty.
std::string Rows(std::initializer_list<std::string> first) {
    std::string text;
    int n = 0;
    for (const std::string& row : first) {
        text += row + "\n";
        ++n;
    }
    for (; n < kRows; ++n)
        text += "...................\n";
    return text;
}

TEST(StageText, ReadsEveryGlyphAtItsTile) {
    const std::string text =
        Map("# a comment\nangle 90\nteaches  the glyphs, all of them \nshots 4\n",
            Rows({"RRMMSSNNII#+-x~G><.", "RRMMSSNNII^v*ab@o.."}));
    StageText stage;
    std::string error;
    ASSERT_TRUE(ParseStageText("all", text, stage, error)) << error;
    EXPECT_EQ(stage.startAngle, 45);
    EXPECT_EQ(stage.rest, 4);
    EXPECT_EQ(stage.teaches, "the glyphs, all of them");
    const std::vector<std::pair<int32_t, int32_t>> expected = {
        {0, 0},  {2, 1},   {4, 2},   {6, 3},   {8, 4},   {10, 5},  {11, 6},  {12, 7},  {13, 8},
        {14, 9}, {15, 10}, {16, 11}, {17, 12}, {10, 13}, {11, 14}, {12, 15}, {13, 16}, {14, 17}};
    ASSERT_EQ(stage.blocks.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const auto [column, type] = expected[i];
        const int32_t row = i < 13 ? 0 : 1;
        EXPECT_EQ(stage.blocks[i].type, type) << i;
        EXPECT_EQ(stage.blocks[i].x, 16 + 32 * column) << i;
        EXPECT_EQ(stage.blocks[i].y, 16 + 32 * row) << i;
    }
    // The ball and the coins sit in the middle of their tile.
    EXPECT_EQ(stage.start.x, 16 + 32 * 15 + 8);
    EXPECT_EQ(stage.start.y, 16 + 32 + 8);
    ASSERT_EQ(stage.coins.size(), 1u);
    EXPECT_EQ(stage.coins[0].x, 16 + 32 * 16 + 8);
}

TEST(StageText, RejectsWhatIsNotAStage) {
    const std::string good = "@.................G";
    struct Case {
        const char* name;
        std::string text;
        const char* message;
    } cases[] = {
        {"no angle", Map("shots 3\n", Rows({good})), "angle is missing"},
        {"odd angle", Map("angle 3\nshots 3\n", Rows({good})), "even number"},
        {"angle 360", Map("angle 360\nshots 3\n", Rows({good})), "even number"},
        {"no shots", Map("angle 0\n", Rows({good})), "shots are missing"},
        {"ten shots", Map("angle 0\nshots 10\n", Rows({good})), "shots are 1 to 9"},
        {"unknown key", Map("angle 0\nshots 3\nspeed 4\n", Rows({good})), "unknown key"},
        {"empty teaches", Map("angle 0\nshots 3\nteaches \n", Rows({good})), "line of text"},
        {"long row", Map("angle 0\nshots 3\n", Rows({good + "."})), "19 characters"},
        {"short map", "angle 0\nshots 3\nmap\n" + good + "\n", "13 lines"},
        {"half block", Map("angle 0\nshots 3\n", Rows({"@R................G"})), "2 x 2"},
        {"unknown glyph", Map("angle 0\nshots 3\n", Rows({"@.......?.........G"})),
         "unknown map character"},
        {"two starts", Map("angle 0\nshots 3\n", Rows({"@.......@.........G"})), "two starts"},
        {"no start", Map("angle 0\nshots 3\n", Rows({"..................G"})), "no start"},
        {"no goal", Map("angle 0\nshots 3\n", Rows({"@.................."})), "no goal"},
        {"text after map", Map("angle 0\nshots 3\n", Rows({good})) + "more\n", "nothing but"},
    };
    for (const Case& c : cases) {
        StageText stage;
        std::string error;
        EXPECT_FALSE(ParseStageText("f.txt", c.text, stage, error)) << c.name;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.name << ": " << error;
        EXPECT_EQ(error.rfind("f.txt:", 0), 0u) << c.name;
    }
}

TEST(StageText, FormatsABuiltInSetOfSeventeenSlots) {
    StageText stage;
    std::string error;
    ASSERT_TRUE(
        ParseStageText("s", Map("angle 0\nshots 3\n", Rows({"@.o...............G"})), stage, error))
        << error;
    std::string bytes;
    ASSERT_TRUE(FormatStages(std::vector<StageText>(16, stage), bytes, error)) << error;
    EXPECT_EQ(bytes.rfind("17\r\nZarpane\r\n", 0), 0u);
    ASSERT_TRUE(FormatStages({stage, stage}, bytes, error)) << error;
    EXPECT_EQ(bytes.rfind("3\r\n", 0), 0u);
    EXPECT_FALSE(FormatStages({}, bytes, error));
}

}  // namespace
}  // namespace zarp::stagetext
