// The one builder of stage sets for the tests: stages as blocks, a start, an angle, shots and
// coins, written out in the stage file format (one value a line, CR LF line ends).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zarp::testing_support {

struct StageLayout {
    struct Block {
        int32_t x, y, type;
    };
    struct Stage {
        int32_t startX = 32, startY = 32, angle = 0, rest = 3;
        std::vector<Block> blocks;
        std::vector<std::pair<int32_t, int32_t>> coins;
    };
    std::string author;
    std::vector<Stage> stages;  // playable stages 1..n; slot 0 is written empty
    // Slots written in total; 0 means stages + 1. Slots beyond the stages get a start and
    // settings but no blocks.
    int32_t slots = 0;

    std::string Text() const;
};

}  // namespace zarp::testing_support
