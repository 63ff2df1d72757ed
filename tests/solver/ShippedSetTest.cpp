#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>

#include "common/stage/BlockTypes.h"
#include "tests/solver/StageFixtures.h"

namespace zarp {
namespace {

// The built-in set as the game reads it.
struct ShippedSet {
    std::unique_ptr<GameBlockTable> blocks = std::make_unique<GameBlockTable>();
    std::unique_ptr<GameEntityTable> entities = std::make_unique<GameEntityTable>();
    StageReadResult read =
        ReadStageFile(std::string(ZARP_TEST_DIST_DIR) + "/stage.dat", *blocks, *entities, true);
};

// 16 playable stages that use every block type between them, each with its start and goal on
// the field, coins to take and shots to spare (tests/solver/CurveTest.cpp compares the shots
// with the par).
TEST(ShippedStages, SixteenStagesUseEveryBlockType) {
    const ShippedSet set;
    const StageReadResult& read = set.read;
    const GameBlockTable* blocks = set.blocks.get();
    const GameEntityTable* entities = set.entities.get();
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
    }
    for (int32_t type = 0; type <= 17; ++type) {
        EXPECT_TRUE(types.count(type)) << "no stage uses block type " << type;
    }
}

// The kinds of block a player learns: the rebound blocks (steel, brick and moss, one kind in three
// strengths), needles, ice, conveyors, the booster and the switches.
std::set<BlockKind> SpecialKinds(const GameBlockTable& blocks, int32_t s) {
    std::set<BlockKind> kinds;
    for (int32_t i = 0; i < blocks.count[s]; ++i) {
        const BlockTypeInfo* info = BlockTypeOf(blocks.type[s][i]);
        if (info && info->kind != BlockKind::Goal) kinds.insert(info->kind);
    }
    return kinds;
}

// Each kind comes first alone, or nearly: no stage brings two new kinds, and a stage bringing
// one uses at most one other kind besides the rebound blocks. Every map says what it teaches.
TEST(ShippedStages, EachKindComesFirstNearlyAloneAndEveryStageSaysWhatItTeaches) {
    const ShippedSet set;
    ASSERT_TRUE(set.read.ok) << set.read.error;
    const GameBlockTable* blocks = set.blocks.get();
    std::set<BlockKind> known;
    for (int32_t s = 1; s <= 16; ++s) {
        SCOPED_TRACE(::testing::Message() << "stage " << s);
        const std::set<BlockKind> kinds = SpecialKinds(*blocks, s);
        std::set<BlockKind> fresh;
        for (BlockKind k : kinds)
            if (!known.count(k)) fresh.insert(k);
        EXPECT_LE(fresh.size(), 1u) << "two new kinds at once";
        if (!fresh.empty() && *fresh.begin() != BlockKind::Rebound) {
            size_t others = 0;
            for (BlockKind k : kinds)
                others += k != BlockKind::Rebound && !fresh.count(k) ? 1 : 0;
            EXPECT_LE(others, 1u) << "a new kind comes with too much else";
        }
        known.insert(kinds.begin(), kinds.end());

        char name[64];
        std::snprintf(name, sizeof name, "/stage%02d.txt", s);
        stagetext::StageText map;
        std::string error;
        ASSERT_TRUE(stagetext::ParseStageText(
            name, testing::ReadAll(std::string(ZARP_TEST_MAPS_DIR) + name), map, error))
            << error;
        EXPECT_GE(map.teaches.size(), 20u) << name << " does not say what it teaches";
    }
}

}  // namespace
}  // namespace zarp
