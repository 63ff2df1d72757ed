// Physics steps per second: flying play frames on a stage of 40 and of 400 blocks, the way a
// stage solver runs them (no drawing, no sound, no allocation per step).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "game/media/MediaDevices.h"
#include "game/play/Physics.h"

namespace zarp {
namespace {

constexpr int32_t kSlot = 1;

// Blocks spread over the field in a fixed pattern: rebound blocks of every factor, ice and
// conveyors (no needles and no goal, so that every step moves the ball), and a few coins.
void BuildStage(int32_t blockCount, GameBlockTable& blocks, GameEntityTable& entities) {
    constexpr int32_t kTypes[] = {5, 6, 7, 9, 11, 12, 13, 14, 0, 1, 2, 4};
    uint32_t seed = 12345;
    for (int32_t i = 0; i < blockCount; ++i) {
        seed = seed * 22695477u + 1;
        const int32_t type = kTypes[(seed >> 16) % 12];
        seed = seed * 22695477u + 1;
        const int32_t x = 16 + static_cast<int32_t>((seed >> 16) % 576);
        seed = seed * 22695477u + 1;
        const int32_t y = 16 + static_cast<int32_t>((seed >> 16) % 384);
        blocks.x[kSlot][i] = x;
        blocks.y[kSlot][i] = y;
        blocks.type[kSlot][i] = type;
    }
    blocks.count[kSlot] = blockCount;
    entities.x[kSlot][0] = 300;
    entities.y[kSlot][0] = 220;
    entities.x[kSlot][1] = 0;
    entities.y[kSlot][1] = 9;
    for (int32_t i = 2; i < 12; ++i) {
        entities.x[kSlot][i] = 40 * i;
        entities.y[kSlot][i] = 30 + 10 * i;
    }
    entities.count[kSlot] = 12;
}

void PhysicsSteps(benchmark::State& state) {
    GameBlockTable blocks;
    GameEntityTable entities;
    BuildStage(static_cast<int32_t>(state.range(0)), blocks, entities);
    Player player;
    std::array<uint8_t, kGameEntitiesPerSlot> coinPresent{};
    int32_t blinkTimer = 0;
    bool shotLatch = false;
    const StageSlotView view = SlotView(blocks, entities, kSlot);
    PlayWorld world{player, view, coinPresent, blinkTimer, 0, 300, 220, 0, shotLatch};
    HeldInput input;
    PlayEvents events;
    int32_t shot = 0;
    int32_t shotFrames = 0;
    for (auto _ : state) {
        // A shot ends when the ball stops; one parked on a conveyor is given up after 400 frames.
        if (!player.flying || ++shotFrames > 400) {
            shotFrames = 0;
            // A new shot from the start in the next direction, with every coin back.
            player.x = 300;
            player.y = 220;
            player.vx = 11 * std::cos((shot * 7 % 180) * kAngleUnit);
            player.vy = 11 * std::sin((shot * 7 % 180) * kAngleUnit);
            player.flying = true;
            player.rest = 9;
            player.combo = 1;
            coinPresent.fill(1);
            ++shot;
        }
        events.Clear();
        PlayFrame(world, input, events);
        benchmark::DoNotOptimize(player);
    }
    state.counters["steps/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["shots"] = shot;
}
BENCHMARK(PhysicsSteps)->Arg(40)->Arg(400);

}  // namespace
}  // namespace zarp
