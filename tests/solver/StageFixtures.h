// Stage maps of tests/solver/fixtures and the shipped stage.dat, as the solver reads them.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "common/stage/Stage.h"
#include "tools/assetgen/stages/StageText.h"

namespace zarp::testing {

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// One map as a set of one stage: its file bytes and the game's tables read from them.
struct FixtureSet {
    std::string bytes;
    std::unique_ptr<GameBlockTable> blocks = std::make_unique<GameBlockTable>();
    std::unique_ptr<GameEntityTable> entities = std::make_unique<GameEntityTable>();
};

inline FixtureSet LoadMap(const std::string& text) {
    FixtureSet set;
    stagetext::StageText stage;
    std::string error;
    EXPECT_TRUE(stagetext::ParseStageText("fixture", text, stage, error)) << error;
    EXPECT_TRUE(stagetext::FormatStages({stage}, set.bytes, error)) << error;
    const StageReadResult read =
        ReadStageLines("fixture", SplitStageLines(set.bytes), *set.blocks, *set.entities, false);
    EXPECT_TRUE(read.ok) << read.error;
    return set;
}

inline FixtureSet LoadFixture(const std::string& name) {
    return LoadMap(ReadAll(std::string(ZARP_TEST_SOLVER_DIR) + "/fixtures/" + name + ".txt"));
}

}  // namespace zarp::testing
