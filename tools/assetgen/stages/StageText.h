// Stage maps as text: one file per stage, a 19 x 13 picture of the field with a legend, plus
// the start angle and the shots. The stage generator and the tests read them.
//
//   # a comment
//   teaches TEXT   one line on what the stage teaches (the built-in stages all have one)
//   angle 0        start angle in degrees (even, 0 to 358)
//   shots 5        the stage's rest, 1 to 9
//   map            then 13 lines of 19 characters, one per 32-pixel tile from (16, 16):
//
//   .  empty          R M S N I  64 x 64 blocks, each written as a 2 x 2 square of its letter:
//   @  ball start                rebound 1.0, 0.8, 0.2, needle, ice (types 0 to 4)
//   o  coin           #  rebound 1.0   +  rebound 0.8   -  rebound 0.2   x  needle   ~  ice
//   G  goal           > < ^ v  conveyors right, left, up, down   *  booster
//                     a  toggle block A (rebound first)   b  toggle block B (needle first)
//
// The ball and the coins sit in the middle of their tile.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/stage/Stage.h"

namespace zarp::stagetext {

inline constexpr int32_t kColumns = 19;
inline constexpr int32_t kRows = 13;
inline constexpr int32_t kTile = 32;
inline constexpr int32_t kOrigin = 16;

struct Block {
    int32_t x = 0, y = 0, type = 0;
};
struct Point {
    int32_t x = 0, y = 0;
};

struct StageText {
    std::vector<Block> blocks;  // in map order, row by row
    Point start;
    int32_t startAngle = 0;  // units of 2 degrees
    int32_t rest = 0;
    std::vector<Point> coins;  // in map order
    std::string teaches;       // what the stage teaches, or empty
};

// Parses one stage map; `name` stands for the file in messages. False with "NAME:LINE: what"
// in `error` when the text is not a valid stage.
bool ParseStageText(const std::string& name, const std::string& text, StageText& stage,
                    std::string& error);

// Puts a parsed stage into slot `slot` of the editor's tables (start, settings, coins, blocks).
void FillSlot(const StageText& stage, int32_t slot, EditorBlockTable& blocks,
              EditorEntityTable& entities);

// The bytes of a stage file holding `stages` in slots 1, 2, ...; a set of 16 is written as the
// built-in set of 17 slots. False with a message when the writer refuses or warns.
bool FormatStages(const std::vector<StageText>& stages, std::string& bytes, std::string& error);

}  // namespace zarp::stagetext
