// The hundred one-pixel stars of the ranking and the ending: scattered over the screen, falling
// at three speeds by their number, and coming back in above the top.
#pragma once

#include <array>
#include <cstdint>

#include "game/media/Random.h"

namespace zarp {

class MediaDevices;
struct Surface;

struct StarField {
    static constexpr int32_t kStars = 100;

    // Where a star that fell out below the screen comes back in.
    struct Reentry {
        bool newX;       // at a new random column, or in its own
        int32_t spread;  // rows: random % spread ...
        int32_t top;     // ... + top
    };

    std::array<int32_t, kStars> starX{}, starY{};

    // Every star at a random place of the screen.
    void Scatter(Random& random);
    // Star i moves down (i % 3 + 1) * speed / 6 rows, so at speed 6 one, two or three; a star
    // below the screen comes back in as `reentry` says.
    void Fall(int32_t speed, Random& random, const Reentry& reentry);
    // Each star keeps the colour of its number through every reentry.
    void Draw(MediaDevices& devices, const Surface* blockSheet) const;
};

}  // namespace zarp
