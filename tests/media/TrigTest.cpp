#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#include "game/media/Trig.h"
#include "game/media/TrigAngles.h"

namespace zarp {
namespace {

// The table must hold every angle the game asks for, with exactly the bits this machine's
// library gives: then the native game moves and draws as it did before the table existed.
TEST(Trig, EveryAngleTheGameUsesComesFromTheTableWithTheLibrarysBits) {
    const std::vector<double> angles = TableAngles();
    // One correction per angle: 721 half units and the booster ring's dots over its 20 frames.
    ASSERT_EQ(TrigCorrections().size(), angles.size());
    EXPECT_GT(angles.size(), 721u + 20 * 60);
    for (double radians : angles) {
        EXPECT_EQ(std::bit_cast<uint64_t>(Sin(radians)), std::bit_cast<uint64_t>(std::sin(radians)))
            << radians;
        EXPECT_EQ(std::bit_cast<uint64_t>(Cos(radians)), std::bit_cast<uint64_t>(std::cos(radians)))
            << radians;
    }
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
