#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "tests/stages/StageFixtures.h"

namespace zarp {
namespace {

// The built-in set as the game reads it: 16 playable stages that use every block type between
// them, each with its start and goal on the field, coins to take and shots to spare.
TEST(ShippedStages, SixteenStagesUseEveryBlockType) {
    const auto blocks = std::make_unique<GameBlockTable>();
    const auto entities = std::make_unique<GameEntityTable>();
    const StageReadResult read =
        ReadStageFile(std::string(ZARP_TEST_DIST_DIR) + "/stage.dat", *blocks, *entities, true);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_TRUE(read.warnings.empty());
    EXPECT_EQ(read.stageTotal, 17);
    EXPECT_EQ(blocks->count[0], 0);
    EXPECT_EQ(entities->count[0], 0);
    std::set<int32_t> types;
    for (int32_t s = 1; s <= 16; ++s) {
        int32_t goals = 0;
        for (int32_t i = 0; i < blocks->count[s]; ++i) {
            const int32_t type = blocks->type[s][i];
            types.insert(type);
            goals += type == 10 ? 1 : 0;
            const int32_t size = BlockSize(type);
            EXPECT_GE(blocks->x[s][i], 16) << s;
            EXPECT_LE(blocks->x[s][i] + size, 624) << s;
            EXPECT_GE(blocks->y[s][i], 16) << s;
            EXPECT_LE(blocks->y[s][i] + size, 432) << s;
        }
        EXPECT_EQ(goals, 1) << "stage " << s;
        ASSERT_GE(entities->count[s], 3) << "stage " << s << " has no coin";
        EXPECT_GE(entities->x[s][1], 0) << s;
        EXPECT_LT(entities->x[s][1], 180) << s;
        EXPECT_GE(entities->y[s][1], 2) << "stage " << s << " leaves no shot to spare";
        EXPECT_LE(entities->y[s][1], 9) << s;

        // The solver's par, kept in the key script, leaves shots to spare.
        char name[64];
        std::snprintf(name, sizeof name, "/keys/stage%02d.keys", s);
        const std::string keys = testing::ReadAll(std::string(ZARP_TEST_STAGES_DIR) + name);
        int par = 0, rest = 0;
        ASSERT_EQ(std::sscanf(keys.c_str(), "# stage %*d: par %d of %d shots", &par, &rest), 2)
            << name;
        EXPECT_EQ(rest, entities->y[s][1]) << name << " is stale: run zrptool solve --keys";
        EXPECT_LT(par, rest) << "stage " << s;
    }
    for (int32_t type = 0; type <= 17; ++type) {
        EXPECT_TRUE(types.count(type)) << "no stage uses block type " << type;
    }
}

}  // namespace
}  // namespace zarp
