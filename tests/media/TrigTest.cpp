#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "game/media/Trig.h"
#include "game/media/TrigAngles.h"

namespace zarp {
namespace {

// The table must hold every angle the game asks for, with exactly the bits this machine's
// library gives: then the native game moves and draws as it did before the table existed.
TEST(Trig, EveryAngleTheGameUsesComesFromTheTableWithTheLibrarysBits) {
    int64_t angles = 0;
    ForEachTableAngle([&](double radians) {
        ++angles;
        const auto table = TrigTable();
        const auto entry =
            std::lower_bound(table.begin(), table.end(), radians,
                             [](const TrigEntry& e, double value) { return e.radians < value; });
        ASSERT_TRUE(entry != table.end() && entry->radians == radians) << radians;
        EXPECT_EQ(std::bit_cast<uint64_t>(entry->sine), std::bit_cast<uint64_t>(std::sin(radians)));
        EXPECT_EQ(std::bit_cast<uint64_t>(entry->cosine),
                  std::bit_cast<uint64_t>(std::cos(radians)));
        EXPECT_EQ(std::bit_cast<uint64_t>(Sin(radians)), std::bit_cast<uint64_t>(entry->sine));
        EXPECT_EQ(std::bit_cast<uint64_t>(Cos(radians)), std::bit_cast<uint64_t>(entry->cosine));
    });
    // 721 half units and the booster ring's dots over its 20 frames.
    EXPECT_GT(angles, 721 + 20 * 60);
}

TEST(Trig, AnAngleOutsideTheTableIsComputed) {
    // A stage's start angle far outside one turn, and a half unit between table entries.
    for (double units : {1000.0, -361.5, 0.25, 359.75}) {
        const double radians = units * kAngleUnit;
        EXPECT_EQ(std::bit_cast<uint64_t>(Sin(radians)),
                  std::bit_cast<uint64_t>(std::sin(radians)));
        EXPECT_EQ(std::bit_cast<uint64_t>(Cos(radians)),
                  std::bit_cast<uint64_t>(std::cos(radians)));
    }
}

}  // namespace
}  // namespace zarp
