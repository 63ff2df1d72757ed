// Stage sets the scene tests play: each is the smallest set that leads where a test goes.
#pragma once

#include "tests/scenes/HeadlessRun.h"

namespace zarp::test {

// A built-in set (17 slots) of one straight shot per stage: the ball starts facing the goal
// and takes one coin on its way.
inline StageSpec StraightShotSet(int32_t slots = 17, const std::string& author = "TEST") {
    StageSpec spec;
    spec.author = author;
    spec.slots = slots;
    for (int32_t s = 1; s < slots; ++s) {
        StageSpec::Stage stage;
        stage.startX = 48;
        stage.startY = 208;
        stage.angle = 0;
        stage.rest = 3;
        stage.blocks = {{208, 208, 10}};
        stage.coins = {{128, 216}};
        spec.stages.push_back(stage);
    }
    return spec;
}

// A built-in set whose stages grant one shot that takes one coin (50 points) and then comes
// to rest between two soft blocks: every stage ends in a game over.
inline StageSpec QuickLossSet() {
    StageSpec spec;
    spec.author = "TEST";
    spec.slots = 17;
    for (int32_t s = 1; s < 17; ++s) {
        StageSpec::Stage stage;
        stage.startX = 48;
        stage.startY = 208;
        stage.rest = 1;
        stage.blocks = {{80, 208, 7}, {16, 208, 7}};
        stage.coins = {{64, 216}};
        spec.stages.push_back(stage);
    }
    return spec;
}

}  // namespace zarp::test
