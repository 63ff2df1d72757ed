#include "game/play/Physics.h"

#include <algorithm>
#include <cmath>

#include "game/media/MediaDevices.h"
#include "game/media/Trig.h"

namespace zarp {

namespace {

// Half-open rectangles overlap when the larger left is below the smaller right and the larger
// top below the smaller bottom; touching edges do not overlap. 64-bit, so that no block
// position from a stage file can overflow its right edge.
inline bool Overlap(int64_t l1, int64_t t1, int64_t r1, int64_t b1, int64_t l2, int64_t t2,
                    int64_t r2, int64_t b2) {
    return std::max(l1, l2) < std::min(r1, r2) && std::max(t1, t2) < std::min(b1, b2);
}

// BlockSize for a type already found to be 0 to 17: the hot loops skip its second range test.
constexpr int64_t ValidBlockSize(int32_t type) {
    return type <= kBlockIce ? 64 : 32;
}

constexpr std::array<const char*, 13> kEffectFiles = {
    "shot.wav",  "chr.wav",   "rub.wav",   "needle.wav", "kir.wav",   "coin1.wav", "coin2.wav",
    "coin3.wav", "coin4.wav", "coin5.wav", "coin6.wav",  "coin7.wav", "coin8.wav",
};

}  // namespace

const char* EffectFile(Effect effect) {
    return kEffectFiles[static_cast<size_t>(effect)];
}

StageSlotView SlotView(const GameBlockTable& blocks, const GameEntityTable& entities,
                       int32_t slot) {
    StageSlotView view;
    if (slot < 0 || slot >= kStageSlots) return view;
    const auto s = static_cast<size_t>(slot);
    view.blockX = blocks.x[s].data();
    view.blockY = blocks.y[s].data();
    view.blockType = blocks.type[s].data();
    view.blockCount = std::clamp(blocks.count[s], 0, kGameBlocksPerSlot);
    view.entityX = entities.x[s].data();
    view.entityY = entities.y[s].data();
    view.entityCount = std::clamp(entities.count[s], 0, kGameEntitiesPerSlot);
    return view;
}

StageStart StageStartOf(const StageSlotView& stage) {
    StageStart start;
    if (stage.entityCount >= 2) {
        start.x = stage.entityX[0];
        start.y = stage.entityY[0];
        start.startAngle = stage.entityX[1];
        start.rest = stage.entityY[1];
    }
    return start;
}

int32_t CountToggleBlocks(const StageSlotView& stage) {
    int32_t n = 0;
    for (int32_t i = 0; i < stage.blockCount; ++i) {
        if (IsToggleBlock(stage.blockType[i])) ++n;
    }
    return n;
}

void BeginPlayFrame(PlayWorld& world, PlayInput& input) {
    Player& p = world.player;
    if (!input.Pressed(ActA)) p.brakeLatch = false;
    p.pushed = false;
    // The toggle blocks' clock runs 1..160, 0: 161 frames, the first phase being 0..79.
    if (world.toggleBlockCount != 0) {
        world.blinkTimer += 1;
        if (world.blinkTimer > 160) world.blinkTimer = 0;
    }
}

void Friction(Player& p, PlayInput& input, PlayEvents& events) {
    // Ice: no friction and no brake; brakeTime stays as it is.
    if (p.noFriction) return;
    if (!p.brakeLatch && (input.Pressed(ActA) || input.Pressed(ActB))) {
        p.brakeTime += 1;
        events.Add(Effect::Rub);
    } else {
        p.brakeTime = 0;
    }
    if (p.brakeTime > 100) p.brakeTime = 100;
    p.vx = p.vx * (0.993 - 0.005 * p.brakeTime);
    p.vy = p.vy * (0.993 - 0.005 * p.brakeTime);
}

void Aim(PlayWorld& world, PlayInput& input, PlayEvents& events) {
    Player& p = world.player;
    if (!input.Pressed(ActA)) world.shotLatch = false;
    p.brakeLatch = true;
    // One degree a frame, three with ActB. 360 stays 360; 360.5 becomes 0.5.
    const int32_t r = input.Pressed(ActRight) ? 1 : 0;
    const int32_t l = input.Pressed(ActLeft) ? 1 : 0;
    const int32_t b = input.Pressed(ActB) ? 1 : 0;
    p.angle += (r - l) * (2 * b + 1) * 0.5;
    if (p.angle < 0) p.angle += 360;
    if (p.angle > 360) p.angle -= 360;
    Friction(p, input, events);
    // The launch direction takes the angle truncated to whole units of 2 degrees.
    p.vx = 11 * Cos(Trunc(p.angle) * kAngleUnit);
    p.vy = 11 * Sin(Trunc(p.angle) * kAngleUnit);
}

bool TryFire(PlayWorld& world, PlayInput& input, PlayEvents& events) {
    Player& p = world.player;
    if (!(input.Pressed(ActA) && !world.shotLatch)) return false;
    events.Add(Effect::Shot);
    world.shotLatch = true;
    p.flying = true;
    p.pushed = false;
    p.combo = 1;
    p.needleTime = 0;
    p.boostTime = 0;
    p.brakeTime = 0;
    for (int32_t i = 1; i < world.stage.entityCount; ++i) {
        const auto e = static_cast<size_t>(i);
        p.hitTextX[e] = 0;
        p.hitTextY[e] = 0;
        p.hitTextTime[e] = 0;
    }
    events.fired = true;
    return true;
}

bool FlightPrelude(PlayWorld& world, PlayEvents& events) {
    Player& p = world.player;
    if (p.needleTime != 0) {
        if (p.needleTime == 5) events.Add(Effect::Needle);
        p.needleTime -= 1;
        if (p.needleTime == 0) {
            p.angle = world.startAngle;
            p.x = world.playerStartX;
            p.y = world.playerStartY;
            p.vx = 0;
            p.vy = 0;
            events.returned = true;
        }
        events.frozen = true;
        return false;
    }
    if (p.boostTime != 0) {
        if (p.boostTime == 20) {
            events.ringStarted = true;
            events.ringX = Trunc(p.x + 8);
            events.ringY = Trunc(p.y + 8);
        }
        p.boostTime -= 1;
        events.ringDrawn = true;
        events.ringTime = p.boostTime;
    }
    return true;
}

BlockCells MakeBlockCells(const StageSlotView& stage) {
    BlockCells cells;
    constexpr int64_t kCore = 8;
    for (int32_t i = 0; i < stage.blockCount; ++i) {
        const int32_t type = stage.blockType[i];
        if (type < 0 || type > kBlockLastType) continue;
        const int64_t bx = stage.blockX[i], by = stage.blockY[i];
        const int64_t size = ValidBlockSize(type);
        for (int32_t row = 0; row < BlockCells::kRows; ++row) {
            for (int32_t column = 0; column < BlockCells::kColumns; ++column) {
                // Cores with their corner in this cell lie within it and kCore beyond.
                const int64_t left = int64_t{column} * BlockCells::kCell;
                const int64_t top = int64_t{row} * BlockCells::kCell;
                if (Overlap(left, top, left + BlockCells::kCell + kCore,
                            top + BlockCells::kCell + kCore, bx, by, bx + size, by + size)) {
                    cells.blocks[static_cast<size_t>(row * BlockCells::kColumns + column)]
                        .push_back(static_cast<int16_t>(i));
                }
            }
        }
    }
    return cells;
}

namespace {

// What touching block i does; r is the rebound factor so far.
inline void TouchBlock(PlayWorld& world, PlayEvents& events, int32_t i, int64_t cl, int64_t ct,
                       int64_t cr, int64_t cb, double& r) {
    Player& p = world.player;
    const StageSlotView& stage = world.stage;
    const int32_t type = stage.blockType[i];
    if (type < 0 || type > kBlockLastType) return;
    const int64_t bx = stage.blockX[i], by = stage.blockY[i];
    const int64_t size = ValidBlockSize(type);
    if (!Overlap(cl, ct, cr, cb, bx, by, bx + size, by + size)) return;
    // A factor replaces r, so with several rebound blocks the last one decides; all the
    // other effects add up.
    switch (type) {
        case kBlockRebound10:
        case kBlockRebound10Small:
            r = 1.0;
            break;
        case kBlockRebound08:
        case kBlockRebound08Small:
            r = 0.8;
            break;
        case kBlockRebound02:
        case kBlockRebound02Small:
            r = 0.2;
            break;
        case kBlockNeedle:
        case kBlockNeedleSmall:
            p.needleTime = 5;
            break;
        case kBlockIce:
        case kBlockIceSmall:
            p.noFriction = true;
            break;
        case kBlockGoal:
            events.goal = true;
            break;
        case kBlockConveyorRight:
            p.vx += 0.005;
            p.pushed = true;
            break;
        case kBlockConveyorLeft:
            p.vx -= 0.005;
            p.pushed = true;
            break;
        case kBlockConveyorUp:
            p.vy -= 0.005;
            p.pushed = true;
            break;
        case kBlockConveyorDown:
            p.vy += 0.005;
            p.pushed = true;
            break;
        case kBlockBooster: {
            const double s = std::sqrt(p.vx * p.vx + p.vy * p.vy);
            if (0 < s && s < 12) {
                p.vx = p.vx / s * 15;
                p.vy = p.vy / s * 15;
                p.brakeTime = 0;
                events.Add(Effect::Kir, -8000);
                events.Add(Effect::Kir, 8000);
                p.boostTime = 20;
            }
            break;
        }
        case kBlockToggleA:
            if (world.blinkTimer < 80) {
                r = 1.0;
            } else {
                p.needleTime = 5;
            }
            break;
        case kBlockToggleB:
            if (world.blinkTimer < 80) {
                p.needleTime = 5;
            } else {
                r = 1.0;
            }
            break;
        default:
            break;
    }
}

}  // namespace

double BlockTest(PlayWorld& world, PlayEvents& events) {
    Player& p = world.player;
    const StageSlotView& stage = world.stage;
    p.noFriction = false;
    double r = 0;
    // The core: the ball's central 8 x 8.
    const int64_t cl = Trunc(p.x + 4), ct = Trunc(p.y + 4);
    const int64_t cr = Trunc(p.x + 12), cb = Trunc(p.y + 12);
    constexpr int64_t kWidth = int64_t{BlockCells::kColumns} * BlockCells::kCell;
    constexpr int64_t kHeight = int64_t{BlockCells::kRows} * BlockCells::kCell;
    if (world.cells && cl >= 0 && ct >= 0 && cl < kWidth && ct < kHeight) {
        const size_t cell = static_cast<size_t>((ct / BlockCells::kCell) * BlockCells::kColumns +
                                                cl / BlockCells::kCell);
        for (const int16_t i : world.cells->blocks[cell])
            TouchBlock(world, events, i, cl, ct, cr, cb, r);
    } else {
        for (int32_t i = 0; i < stage.blockCount; ++i)
            TouchBlock(world, events, i, cl, ct, cr, cb, r);
    }
    // A rebound in the same test cancels a needle.
    if (r != 0 && p.needleTime != 0) p.needleTime = 0;
    if (events.goal || p.needleTime != 0) return 0;
    return r;
}

void FlightMove(PlayWorld& world, PlayInput& input, PlayEvents& events) {
    Player& p = world.player;
    Friction(p, input, events);
    const int32_t px = Trunc(p.x);
    const int32_t py = Trunc(p.y);

    // Horizontal move; the field's border rebounds at 0.9 and replaces the block test's result.
    p.x += p.vx;
    double r = BlockTest(world, events);
    if (p.x < 16 || p.x > 609) r = 0.9;
    if (r > 0) {
        events.Add(Effect::Chr);
        p.vx = -p.vx * r;
        p.x = px;
    }

    // Vertical move.
    p.y += p.vy;
    r = BlockTest(world, events);
    if (p.y < 16 || p.y > 413) r = 0.9;
    if (r > 0) {
        events.Add(Effect::Chr);
        p.vy = -p.vy * r;
        p.y = py;
    }
    events.needleHit = p.needleTime != 0;

    // Stop test: a conveyor keeps the shot alive until the brake has been held over 30 frames.
    if ((!p.pushed && -0.1 < p.vx && p.vx < 0.1 && -0.1 < p.vy && p.vy < 0.1) ||
        (p.pushed && p.brakeTime > 30)) {
        p.rest = WrapAdd(p.rest, -1);
        events.shotEnded = true;
        if (p.rest == 0) events.gameOver = true;
        p.flying = false;
    }

    // Coins: the catch rectangle is 24 x 24 around the sprite; the n-th coin of a shot scores
    // 50 n. Then the hit texts' clocks.
    const int64_t cl = Trunc(p.x - 4), ct = Trunc(p.y - 4);
    const int64_t cr = Trunc(p.x + 20), cb = Trunc(p.y + 20);
    const StageSlotView& stage = world.stage;
    for (int32_t i = 2; i < stage.entityCount; ++i) {
        const auto e = static_cast<size_t>(i);
        const int64_t ex = stage.entityX[i], ey = stage.entityY[i];
        if (world.coinPresent[e] && Overlap(cl, ct, cr, cb, ex, ey, ex + 16, ey + 16)) {
            const int32_t n = std::clamp(p.combo, 1, 8);
            events.Add(static_cast<Effect>(static_cast<int32_t>(Effect::Coin1) + n - 1));
            world.coinPresent[e] = 0;
            p.score = WrapAdd(p.score, int64_t{p.combo} * 50);
            p.combo += 1;
            p.hitTextX[e] = Trunc(p.x / 1.1 - 10);
            p.hitTextY[e] = Trunc(p.y);
            p.hitNumber[e] = p.combo - 1;
            p.hitTextTime[e] = 80;
            if (p.hitNumber[e] > p.maxHit) p.maxHit = p.hitNumber[e];
            events.coinsTaken += 1;
        }
        if (p.hitTextTime[e] != 0) p.hitTextTime[e] -= 1;
    }
}

void PlayFrame(PlayWorld& world, PlayInput& input, PlayEvents& events) {
    BeginPlayFrame(world, input);
    if (!world.player.flying) {
        Aim(world, input, events);
        TryFire(world, input, events);
        return;
    }
    if (FlightPrelude(world, events)) FlightMove(world, input, events);
}

}  // namespace zarp
