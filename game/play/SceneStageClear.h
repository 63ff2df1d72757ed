// Stage clear: the window, the two bonuses, on to the next stage.
#pragma once

#include <cstdint>

#include "game/media/ButtonLatch.h"

namespace zarp {

class Shell;
struct Media;
struct PlayField;
struct Session;
struct StageSet;

struct SceneStageClear {
    static constexpr int32_t kId = 2;

    struct Context {
        Media& media;
        Session& session;  // the bonuses, the next stage
        const StageSet& stages;
        const PlayField& field;  // the field as the goal was touched
        Shell& shell;
    };

    int32_t phase = 0;          // 0: first wipe pass, 1: second pass, 2: window and bonuses
    int32_t wipeStep = 1;       // 1..16
    int32_t windowCounter = 0;  // 0..91
    bool clearSoundPlayed = false;
    ButtonLatch clearLatch{false};  // set on leaving: the next clear needs A seen up first

    void Frame(const Context& c);
    // Every visit begins at the first frame of a clear (the latch stays as it is): a clear left
    // from outside, when F6 spent the last shot while the window opened, would otherwise go on
    // from the middle at the next clear and miss its clear sound or a bonus.
    void Enter();
};

}  // namespace zarp
