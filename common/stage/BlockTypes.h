// The eighteen block types of a stage: a short name, what kind of thing each is, and one line on
// what touching it does. zrptool, the README's legend and the editor name the types from this
// one table; tests/play checks every entry against the ball's physics (game/play/Physics.cpp).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace zarp {

enum class BlockKind : uint8_t { Rebound, Needles, Ice, Goal, Conveyor, Booster, Switch };

struct BlockTypeInfo {
    int32_t type = 0;
    std::string_view name;  // "Steel 64"
    int32_t size = 32;      // pixels on the field, square
    BlockKind kind = BlockKind::Rebound;
    double rebound = 0;            // Rebound: the share of the speed across the block kept
    int32_t pushX = 0, pushY = 0;  // Conveyor: the way it pushes
    bool steelFirst = false;       // Switch: steel in the first 80 frames of the cycle
    std::string_view effect;       // one line, starting in lower case
};

inline constexpr int32_t kBlockTypeCount = 18;

inline constexpr std::array<BlockTypeInfo, kBlockTypeCount> kBlockTypes = {{
    {0, "Steel 64", 64, BlockKind::Rebound, 1.0, 0, 0, false, "rebounds the ball at full speed"},
    {1, "Brick 64", 64, BlockKind::Rebound, 0.8, 0, 0, false,
     "rebounds the ball at 0.8 of its speed"},
    {2, "Moss 64", 64, BlockKind::Rebound, 0.2, 0, 0, false,
     "rebounds the ball at 0.2 of its speed, so it soon stops"},
    {3, "Needles 64", 64, BlockKind::Needles, 0, 0, 0, false,
     "send the ball back to the start; the shot is lost"},
    {4, "Ice 64", 64, BlockKind::Ice, 0, 0, 0, false,
     "a floor the ball slides over without friction (the brake does nothing there)"},
    {5, "Steel", 32, BlockKind::Rebound, 1.0, 0, 0, false, "rebounds the ball at full speed"},
    {6, "Brick", 32, BlockKind::Rebound, 0.8, 0, 0, false, "rebounds the ball at 0.8 of its speed"},
    {7, "Moss", 32, BlockKind::Rebound, 0.2, 0, 0, false,
     "rebounds the ball at 0.2 of its speed, so it soon stops"},
    {8, "Needles", 32, BlockKind::Needles, 0, 0, 0, false,
     "send the ball back to the start; the shot is lost"},
    {9, "Ice", 32, BlockKind::Ice, 0, 0, 0, false,
     "a floor the ball slides over without friction (the brake does nothing there)"},
    {10, "Goal", 32, BlockKind::Goal, 0, 0, 0, false, "touch it to clear the stage"},
    {11, "Conveyor right", 32, BlockKind::Conveyor, 0, 1, 0, false,
     "pushes the ball right; on a belt the ball stops only when braked"},
    {12, "Conveyor left", 32, BlockKind::Conveyor, 0, -1, 0, false,
     "pushes the ball left; on a belt the ball stops only when braked"},
    {13, "Conveyor up", 32, BlockKind::Conveyor, 0, 0, -1, false,
     "pushes the ball up; on a belt the ball stops only when braked"},
    {14, "Conveyor down", 32, BlockKind::Conveyor, 0, 0, 1, false,
     "pushes the ball down; on a belt the ball stops only when braked"},
    {15, "Booster", 32, BlockKind::Booster, 0, 0, 0, false,
     "sends a ball slower than 12 pixels a frame on at 15, the same way"},
    {16, "Switch A", 32, BlockKind::Switch, 0, 0, 0, true,
     "steel for 80 frames, then needles for 81, over and over"},
    {17, "Switch B", 32, BlockKind::Switch, 0, 0, 0, false,
     "needles for 80 frames, then steel for 81, over and over"},
}};

// The entry of a block type, or nullptr for a type outside 0 to 17 (the game ignores those).
constexpr const BlockTypeInfo* BlockTypeOf(int32_t type) {
    if (type < 0 || type >= kBlockTypeCount) return nullptr;
    return &kBlockTypes[static_cast<size_t>(type)];
}

}  // namespace zarp
