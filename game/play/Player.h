// The ball record: position, velocity, aim, the player's progress counters and the hit texts.
#pragma once

#include <array>
#include <cstdint>

#include "common/stage/Stage.h"

namespace zarp {

struct Player {
    double x = 0, y = 0;
    double vx = 0, vy = 0;
    int32_t brakeTime = 0;
    double angle = 0;  // units of 2 degrees, 0..360
    int32_t needleTime = 0;
    int32_t score = 0;
    int32_t rest = 0;
    int32_t credit = 0;
    int32_t combo = 0;
    std::array<int32_t, kGameEntitiesPerSlot> hitTextX{}, hitTextY{}, hitNumber{}, hitTextTime{};
    int32_t maxHit = 0;
    int32_t boostTime = 0;
    bool noFriction = false;
    bool pushed = false;
    bool flying = false;
    bool brakeLatch = false;
};

}  // namespace zarp
