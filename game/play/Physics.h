// The ball's physics: one play frame without drawing or sound. ScenePlay runs it and turns the
// events into sounds and pictures; the stage solver runs it in a tight loop. Every formula is
// written the way the ball has always moved, in double precision: the last bits decide where a
// ball comes to rest many frames later, so keep the order of the operations as it is.
//
// A solver's loop, with everything set up once and nothing allocated per frame:
//
//     const StageSlotView stage = SlotView(blocks, entities, slot);
//     const StageStart start = StageStartOf(stage);
//     Player player;  // x, y, angle and rest from `start`
//     std::array<uint8_t, kGameEntitiesPerSlot> coinPresent;  // 1 for entries 0..count-1
//     int32_t blinkTimer = 0;
//     bool shotLatch = false;
//     PlayWorld world{player, stage, coinPresent, blinkTimer, CountToggleBlocks(stage),
//                     start.x, start.y, start.startAngle, shotLatch};
//     HeldInput input;  // input.held[ActA] = true fires from an aiming frame
//     PlayEvents events;
//     for (...) { events.Clear(); PlayFrame(world, input, events); if (events.goal) ...; }
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "common/stage/Stage.h"
#include "game/media/TrigAngles.h"
#include "game/play/Player.h"

namespace zarp {

// Truncation toward zero, as static_cast<int>; values beyond the int range (only a stage file
// with absurd coordinates gets there) saturate instead of being undefined.
inline int32_t Trunc(double v) {
    if (!(v > -2147483649.0)) return INT32_MIN;
    if (!(v < 2147483648.0)) return INT32_MAX;
    return static_cast<int32_t>(v);
}

// 32-bit integer sums that wrap around as the game's 32-bit counters always have, instead of
// overflowing: a stage file may grant absurd numbers of shots.
inline int32_t WrapAdd(int32_t a, int64_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

// Block types and what touching them does (BlockSize gives their squares: 5 to 9 are the small
// ones of 0 to 4).
enum BlockType : int32_t {
    kBlockRebound10 = 0,  // rebounds at 1.0
    kBlockRebound08 = 1,  // at 0.8
    kBlockRebound02 = 2,  // at 0.2
    kBlockNeedle = 3,     // sends the ball back to the start
    kBlockIce = 4,        // no friction and no brake
    kBlockRebound10Small = 5,
    kBlockRebound08Small = 6,
    kBlockRebound02Small = 7,
    kBlockNeedleSmall = 8,
    kBlockIceSmall = 9,
    kBlockGoal = 10,
    kBlockConveyorRight = 11,
    kBlockConveyorLeft = 12,
    kBlockConveyorUp = 13,
    kBlockConveyorDown = 14,
    kBlockBooster = 15,
    kBlockToggleA = 16,  // rebound in the first phase of the toggle clock, needle in the second
    kBlockToggleB = 17,  // the other way round
    kBlockLastType = 17,
};

constexpr bool IsToggleBlock(int32_t type) {
    return type == kBlockToggleA || type == kBlockToggleB;
}

// One stage slot of the game's tables, read-only. Counts are clamped to the tables' capacities.
struct StageSlotView {
    const int32_t* blockX = nullptr;
    const int32_t* blockY = nullptr;
    const int32_t* blockType = nullptr;
    int32_t blockCount = 0;
    const int32_t* entityX = nullptr;
    const int32_t* entityY = nullptr;
    int32_t entityCount = 0;
};

// A slot number outside the tables gives an empty slot.
StageSlotView SlotView(const GameBlockTable& blocks, const GameEntityTable& entities, int32_t slot);

// Where a stage puts the ball and how many shots it grants. A slot without its start and
// settings entries (the editor never writes one) plays from (32, 32) at angle 0 with 5 shots,
// the editor's own defaults for a new stage.
struct StageStart {
    int32_t x = 32, y = 32;
    int32_t startAngle = 0;
    int32_t rest = 5;
};
StageStart StageStartOf(const StageSlotView& stage);

// Number of toggle blocks (types 16 and 17) of a slot.
int32_t CountToggleBlocks(const StageSlotView& stage);

// The six actions, asked at the moment the ball's rules ask for them (the keyboard's
// "pressed since the last query" bit makes the order of the questions matter).
class PlayInput {
  public:
    virtual bool Pressed(int32_t action) = 0;

  protected:
    ~PlayInput() = default;
};

// Fixed answers, for the solver and the tests.
class HeldInput final : public PlayInput {
  public:
    std::array<bool, 6> held{};
    bool Pressed(int32_t action) override {
        return action >= 0 && action < 6 && held[static_cast<size_t>(action)];
    }
};

enum class Effect : uint8_t {
    Shot,
    Chr,
    Rub,
    Needle,
    Kir,
    Coin1,
    Coin2,
    Coin3,
    Coin4,
    Coin5,
    Coin6,
    Coin7,
    Coin8,
};
// The sound file of an effect ("coin8.wav" for Coin8).
const char* EffectFile(Effect effect);

struct EffectEvent {
    Effect effect = Effect::Shot;
    int32_t pan = 0;
};

// What one frame did, for the scene to play and draw. Reset with Clear() before each frame.
struct PlayEvents {
    // A frame plays at most a shot or a rub, two booster pairs per block test, two rebounds and
    // one sound per coin: 64 is more than enough; anything beyond is counted but not kept.
    static constexpr int32_t kMaxEffects = 64;
    std::array<EffectEvent, kMaxEffects> effects;
    int32_t effectCount = 0;

    bool fired = false;      // aiming: the shot left
    bool frozen = false;     // a needle's frame: nothing moves and nothing is shown
    bool returned = false;   // the needle put the ball back at the start
    bool ringDrawn = false;  // the booster ring shows this frame with ringTime
    int32_t ringTime = 0;
    bool ringStarted = false;  // the ring's centre was taken this frame
    int32_t ringX = 0, ringY = 0;
    bool needleHit = false;  // a needle was touched and not cancelled by a rebound
    bool goal = false;       // the goal was touched: the stage is cleared
    bool shotEnded = false;  // the ball stopped; one rest was used
    bool gameOver = false;   // ... and it was the last one
    int32_t coinsTaken = 0;

    void Clear() {
        effectCount = 0;
        fired = frozen = returned = ringDrawn = ringStarted = needleHit = goal = shotEnded =
            gameOver = false;
        ringTime = ringX = ringY = coinsTaken = 0;
    }
    void Add(Effect effect, int32_t pan = 0) {
        if (effectCount < kMaxEffects) effects[static_cast<size_t>(effectCount)] = {effect, pan};
        ++effectCount;
    }
};

// The blocks that can touch a ball, by where the ball's core lies: for each 32-pixel cell of
// the screen, in table order, the blocks that overlap any core whose top-left corner lies in
// the cell. The block test then looks at those instead of the whole table, meeting the same
// blocks in the same order, so nothing about the ball changes; only the stage solver, which
// plays millions of shots, builds one. A core off the screen is tested against every block.
struct BlockCells {
    static constexpr int32_t kCell = 32;
    static constexpr int32_t kColumns = 20;  // 640 pixels
    static constexpr int32_t kRows = 15;     // 480 pixels
    std::array<std::vector<int16_t>, kColumns * kRows> blocks;
};
BlockCells MakeBlockCells(const StageSlotView& stage);

// Everything a play frame reads and changes.
struct PlayWorld {
    Player& player;
    StageSlotView stage;
    std::array<uint8_t, kGameEntitiesPerSlot>& coinPresent;
    int32_t& blinkTimer;
    int32_t toggleBlockCount = 0;
    int32_t playerStartX = 0, playerStartY = 0;
    int32_t startAngle = 0;
    bool& shotLatch;                    // a shot needs it clear; starts set when the program starts
    const BlockCells* cells = nullptr;  // the solver's shortcut; the game goes without
};

// Opening of every play frame: the brake latch, the conveyor flag and the toggle-block clock.
void BeginPlayFrame(PlayWorld& world, PlayInput& input);

// Aiming, steps before the picture: turn the aim, friction, the launch velocity.
void Aim(PlayWorld& world, PlayInput& input, PlayEvents& events);
// Aiming, after the picture: fire when ActA is pressed and the shot latch is clear.
bool TryFire(PlayWorld& world, PlayInput& input, PlayEvents& events);

// Flight, first part: the needle's frozen frames and the booster ring's clock. False when the
// frame ends here (a needle frame: nothing moves, nothing is shown).
bool FlightPrelude(PlayWorld& world, PlayEvents& events);
// Flight, second part: friction, the two axis moves, the stop test, the coins (and the hit
// texts' clocks).
void FlightMove(PlayWorld& world, PlayInput& input, PlayEvents& events);

// Friction and brake, used in flight and while aiming.
void Friction(Player& player, PlayInput& input, PlayEvents& events);
// The block test at the ball's current position: the rebound factor, or 0.
double BlockTest(PlayWorld& world, PlayEvents& events);

// A whole play frame without drawing: what ScenePlay does, minus the pictures and sounds.
void PlayFrame(PlayWorld& world, PlayInput& input, PlayEvents& events);

}  // namespace zarp
