// Game over: count-down, continue with the score cut, or on to the name entry.
#pragma once

#include <cstdint>

#include "game/media/ButtonLatch.h"

namespace zarp {

class Shell;
struct Media;
struct PlayField;
struct Session;
struct StageSet;

struct SceneGameOver {
    static constexpr int32_t kId = 3;

    struct Context {
        Media& media;
        Session& session;        // a continue cuts the score and spends a credit
        const StageSet& stages;  // the frozen stage under the texts
        const PlayField& field;
        Shell& shell;
    };

    int32_t continueCount = 99;   // the number shown is continueCount / 10
    ButtonLatch overLatch{true};  // A must be seen up before it counts
    bool overLeaving = false;     // the scene hands over at the end of this frame
    bool noContinue = false;      // the previous continue spent the last credit

    void Frame(const Context& c);
};

// The score left after a continue: about half of it.
constexpr int32_t ScoreAfterContinue(int32_t score) {
    return score - 10 * (score / 20);
}

}  // namespace zarp
