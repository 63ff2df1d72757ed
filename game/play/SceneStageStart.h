// Stage start: paints the stage, shows its title, reveals the field, lets the coins appear.
#pragma once

#include <array>
#include <cstdint>

#include "common/stage/Stage.h"

namespace zarp {

class Shell;
struct Media;
struct PlayField;
struct Session;
struct StageSet;

struct SceneStageStart {
    static constexpr int32_t kId = 0;

    struct Context {
        Media& media;
        Session& session;  // the ball goes to the start with the stage's shots
        const StageSet& stages;
        PlayField& field;  // set up for the play
        Shell& shell;
    };

    int32_t frame = 0;     // the scene's frame counter; stays at 51 through the coin phase
    int32_t wipeStep = 1;  // 1..16
    bool wipeDone = false;
    std::array<int32_t, kGameEntitiesPerSlot> appearTimer{};  // per coin, 16 down to 0
    int32_t appearCount = 0;  // 0 while the coin phase has not begun

    void Frame(const Context& c);
};

// Paints a stage's static picture onto `background` as the stage start does after filling it:
// the field's background tiles, then the blocks in table order. Returns the number of toggle
// blocks. Shared with zrptool's stage render.
struct Surface;
struct StageSlotView;
int32_t PaintStageField(Surface& background, const Surface* blockSheet, const StageSlotView& stage);

}  // namespace zarp
