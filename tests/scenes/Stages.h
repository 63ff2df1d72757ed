// Stage sets the scene tests play: each is the smallest set that leads where a test goes.
#pragma once

#include "tests/scenes/Fixture.h"

namespace zarp::test {

// A built-in set (17 slots) of one straight shot per stage: the ball starts facing the goal
// and takes one coin on its way.
inline StageLayout StraightShotSet(int32_t slots = 17, const std::string& author = "TEST") {
    StageLayout layout;
    layout.author = author;
    layout.slots = slots;
    for (int32_t s = 1; s < slots; ++s) {
        StageLayout::Stage stage;
        stage.startX = 48;
        stage.startY = 208;
        stage.angle = 0;
        stage.rest = 3;
        stage.blocks = {{208, 208, 10}};
        stage.coins = {{128, 216}};
        layout.stages.push_back(stage);
    }
    return layout;
}

// A set (the built-in sixteen unless told otherwise) whose stages grant one shot that takes one
// coin (50 points) and then comes to rest between two soft blocks: every stage ends in a game
// over.
inline StageLayout QuickLossSet(int32_t stages = 16) {
    StageLayout layout;
    layout.author = "TEST";
    layout.slots = stages + 1;
    for (int32_t s = 1; s <= stages; ++s) {
        StageLayout::Stage stage;
        stage.startX = 48;
        stage.startY = 208;
        stage.rest = 1;
        stage.blocks = {{80, 208, 7}, {16, 208, 7}};
        stage.coins = {{64, 216}};
        layout.stages.push_back(stage);
    }
    return layout;
}

}  // namespace zarp::test
