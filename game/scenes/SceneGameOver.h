// Game over: count-down, continue with the score cut, or on to the name entry.
#pragma once

#include <cstdint>

namespace zarp {

class TForm1;

struct SceneGameOver {
    static constexpr int32_t kId = 3;

    int32_t continueCount = 99;  // the number shown is continueCount / 10
    bool overLatch = true;       // button A must be released before it counts
    bool overLeaving = false;    // the scene hands over at the end of this frame
    bool noContinue = false;     // the previous continue spent the last credit

    void Frame(TForm1& form);
};

// The score left after a continue: about half of it.
constexpr int32_t ScoreAfterContinue(int32_t score) {
    return score - 10 * (score / 20);
}

}  // namespace zarp
