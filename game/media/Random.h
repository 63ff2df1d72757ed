// The game's one pseudo-random generator: state := state * 22695477 + 1 (32-bit, wrapping),
// result := bits 16 to 30 of the new state (0 to 32767).
#pragma once

#include <cstdint>

namespace zarp {

struct Random {
    uint32_t state = 1;
    void Seed(uint32_t seed) { state = seed; }
    int32_t Next() {
        state = state * 22695477u + 1u;
        return static_cast<int32_t>((state >> 16) & 0x7FFF);
    }
};

}  // namespace zarp
