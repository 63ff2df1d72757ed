#include "editor/StageCheck.h"

#include <algorithm>
#include <array>
#include <memory>

#include "game/play/Physics.h"

namespace zarp::editor {

namespace {

// The ball's flights along a solution's keys, played from the start as the game plays them.
std::vector<std::vector<PathPoint>> Flights(const GameBlockTable& blocks,
                                            const GameEntityTable& entities, int32_t slot,
                                            const std::vector<zrptool::KeyRun>& keys) {
    const StageSlotView stage = SlotView(blocks, entities, slot);
    const StageStart start = StageStartOf(stage);
    Player player;
    player.x = start.x;
    player.y = start.y;
    player.angle = start.startAngle;
    player.rest = start.rest;
    player.brakeLatch = true;
    std::array<uint8_t, kGameEntitiesPerSlot> coinPresent{};
    for (int32_t i = 0; i < stage.entityCount; ++i)
        coinPresent[static_cast<size_t>(i)] = 1;
    int32_t blinkTimer = 0;
    bool shotLatch = true;  // a test play starts with the game, whose latch is set
    PlayWorld world{player,  stage,   coinPresent,      blinkTimer, CountToggleBlocks(stage),
                    start.x, start.y, start.startAngle, shotLatch};
    HeldInput input;
    PlayEvents events;
    std::vector<std::vector<PathPoint>> shots;
    for (const zrptool::KeyRun& run : keys) {
        input.held = {(run.keys & zrptool::kKeyLeft) != 0,
                      (run.keys & zrptool::kKeyRight) != 0,
                      false,
                      false,
                      (run.keys & zrptool::kKeySpace) != 0,
                      (run.keys & zrptool::kKeyX) != 0};
        for (int32_t f = 0; f < run.frames; ++f) {
            events.Clear();
            PlayFrame(world, input, events);
            if (events.fired) shots.push_back({{player.x, player.y}});
            if (player.flying && !shots.empty() && !events.frozen) {
                shots.back().push_back({player.x, player.y});
            }
            if (events.goal) return shots;
        }
    }
    return shots;
}

}  // namespace

void GameSlotOf(const EditorBlockTable& blocks, const EditorEntityTable& entities, int32_t slot,
                GameBlockTable& gameBlocks, GameEntityTable& gameEntities) {
    gameBlocks.count[slot] = 0;
    const int32_t blockCount = std::clamp(blocks.count[slot], 0, EditorBlockTable::capacity);
    for (int32_t i = 0; i < blockCount && gameBlocks.count[slot] < GameBlockTable::capacity; ++i) {
        if (blocks.x[slot][i] == kEmptyMarker) continue;
        const int32_t k = gameBlocks.count[slot]++;
        gameBlocks.x[slot][k] = blocks.x[slot][i];
        gameBlocks.y[slot][k] = blocks.y[slot][i];
        gameBlocks.type[slot][k] = blocks.type[slot][i];
    }
    gameEntities.count[slot] = 0;
    const int32_t entityCount = std::clamp(entities.count[slot], 0, EditorEntityTable::capacity);
    for (int32_t i = 0; i < entityCount && gameEntities.count[slot] < GameEntityTable::capacity;
         ++i) {
        if (entities.x[slot][i] == kEmptyMarker) continue;
        const int32_t k = gameEntities.count[slot]++;
        gameEntities.x[slot][k] = entities.x[slot][i];
        gameEntities.y[slot][k] = entities.y[slot][i];
    }
}

StageCheck CheckStage(const EditorBlockTable& blocks, const EditorEntityTable& entities,
                      int32_t slot, const std::atomic<bool>* cancel,
                      const std::function<void(const std::string&)>& progress) {
    StageCheck check;
    if (slot < 1 || slot >= kStageSlots) {
        check.error = "no stage " + std::to_string(slot);
        return check;
    }
    auto gameBlocks = std::make_unique<GameBlockTable>();
    auto gameEntities = std::make_unique<GameEntityTable>();
    GameSlotOf(blocks, entities, slot, *gameBlocks, *gameEntities);
    const StageSlotView view = SlotView(*gameBlocks, *gameEntities, slot);
    check.hasStart = view.entityCount >= 2;
    check.coinCount = std::max(view.entityCount - 2, 0);
    for (int32_t i = 0; i < view.blockCount; ++i) {
        if (view.blockType[i] == kBlockGoal) check.hasGoal = true;
    }

    zrptool::SolveOptions options;
    options.progress = progress;
    options.cancel = cancel;
    check.solve = zrptool::SolveStage(*gameBlocks, *gameEntities, slot, options);
    if (check.solve.status == zrptool::SolveStatus::Solved) {
        check.shots = Flights(*gameBlocks, *gameEntities, slot, check.solve.keys);
    }
    check.ok = true;
    return check;
}

}  // namespace zarp::editor
