// Stage clear: the window, the two bonuses, on to the next stage.
#pragma once

#include <cstdint>

namespace zarp {

class TForm1;

struct SceneStageClear {
    static constexpr int32_t kId = 2;

    int32_t phase = 0;          // 0: first wipe pass, 1: second pass, 2: window and bonuses
    int32_t wipeStep = 1;       // 1..16
    int32_t windowCounter = 0;  // 0..91
    bool clearSoundPlayed = false;
    bool clearLatch = false;  // set on leaving: the next clear needs ActA seen up first

    void Frame(TForm1& form);
    // Back to the first frame of a clear (the latch stays as it is). A stage clear that was left
    // from outside, when F6 spent the last shot while the window opened, would otherwise go on
    // from the middle at the next clear and miss its clear sound or a bonus; every stage start
    // calls this.
    void Restart();
};

}  // namespace zarp
