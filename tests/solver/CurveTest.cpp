// The difficulty curve of the built-in stages, read from `zrptool solve stage.dat --table` (the
// test solver.SolveShippedStages writes it) and from the stages themselves. A change to a stage
// that breaks the curve fails here, naming the stage and the rule.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

#include "tests/solver/StageFixtures.h"

namespace zarp {
namespace {

constexpr int32_t kStages = 16;

struct Row {
    int32_t par = 0, shots = 0, window = -1, allCoins = -1, coins = 0;
    bool startAngleClears = false;
};

// The table's rows by stage; a row whose figures are missing ("?", "none" or a reason the stage
// was not solved) keeps -1 there and fails the rules that need it.
std::map<int32_t, Row> ReadTable(const std::string& text) {
    std::map<int32_t, Row> rows;
    std::istringstream in(text);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "stage  par  shots  window  all coins  coins  start angle");
    while (std::getline(in, line)) {
        int32_t stage = 0;
        char window[16] = "", allCoins[16] = "", start[16] = "";
        Row row;
        if (std::sscanf(line.c_str(), "%d %d %d %15s %15s %d %15s", &stage, &row.par, &row.shots,
                        window, allCoins, &row.coins, start) != 7) {
            if (std::sscanf(line.c_str(), "%d", &stage) == 1) {
                ADD_FAILURE() << "stage " << stage << " has no figures: " << line;
            }
            continue;
        }
        row.window = std::isdigit(static_cast<unsigned char>(window[0])) ? std::atoi(window) : -1;
        row.allCoins =
            std::isdigit(static_cast<unsigned char>(allCoins[0])) ? std::atoi(allCoins) : -1;
        row.startAngleClears = std::string(start) == "clears";
        rows[stage] = row;
    }
    return rows;
}

TEST(DifficultyCurve, TheShippedStagesMeetEveryRule) {
    const std::string text = testing::ReadAll(ZARP_TEST_STAGE_TABLE);
    ASSERT_FALSE(text.empty()) << ZARP_TEST_STAGE_TABLE
                               << " is missing: the test solver.SolveShippedStages writes it";
    const std::map<int32_t, Row> rows = ReadTable(text);
    ASSERT_EQ(rows.size(), static_cast<size_t>(kStages)) << text;

    int32_t parTwo = 0, parThree = 0;
    for (int32_t s = 1; s <= kStages; ++s) {
        SCOPED_TRACE(::testing::Message() << "stage " << s);
        const Row& row = rows.at(s);
        // Stages 1 to 3 may be generous, but the start angle never clears a stage by itself.
        EXPECT_FALSE(row.startAngleClears) << "the start angle alone clears it";
        // From stage 4 on, a stage cleared in one shot is cleared so from few directions.
        if (s >= 4 && row.par == 1) {
            EXPECT_GE(row.window, 1);
            EXPECT_LE(row.window, 8) << "one shot clears it from too many directions";
        }
        // A shot to spare at least.
        EXPECT_LT(row.par, row.shots) << "no shot to spare";
        // Every coin can be had within the stage's shots.
        EXPECT_GE(row.allCoins, row.par) << "no way to take every coin within the shots";
        // The par never drops by more than 1 from one stage to the next.
        if (s > 1) {
            EXPECT_GE(row.par, rows.at(s - 1).par - 1) << "the par drops by more than 1";
        }
        parTwo += row.par >= 2 ? 1 : 0;
        parThree += row.par >= 3 ? 1 : 0;
    }
    EXPECT_GE(parTwo, 8) << "stages of par 2 or more";
    EXPECT_GE(parThree, 4) << "stages of par 3 or more";
    // Stage 16 is the hardest: by par (at least 3), then by window.
    const Row& last = rows.at(kStages);
    EXPECT_GE(last.par, 3);
    for (int32_t s = 1; s < kStages; ++s) {
        const Row& row = rows.at(s);
        EXPECT_LE(row.par, last.par) << "stage " << s << " has a higher par than stage 16";
        if (row.par == last.par) {
            EXPECT_GT(row.window, last.window)
                << "stage " << s << " is as hard as stage 16 by par and no easier by window";
        }
    }

    // The kept key scripts play the par the table shows.
    for (int32_t s = 1; s <= kStages; ++s) {
        char name[64];
        std::snprintf(name, sizeof name, "/keys/stage%02d.keys", s);
        const std::string keys = testing::ReadAll(std::string(ZARP_TEST_SOLVER_DIR) + name);
        int32_t par = 0, shots = 0;
        ASSERT_EQ(std::sscanf(keys.c_str(), "# stage %*d: par %d of %d shots", &par, &shots), 2)
            << name;
        EXPECT_EQ(par, rows.at(s).par) << name << " is stale: run zrptool solve --keys";
        EXPECT_EQ(shots, rows.at(s).shots) << name << " is stale: run zrptool solve --keys";
    }
}

}  // namespace
}  // namespace zarp
