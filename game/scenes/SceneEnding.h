// Ending: congratulation, credits, falling stars, thank-you line.
#pragma once

#include <cstdint>

#include "game/media/ButtonLatch.h"
#include "game/scenes/StarField.h"

namespace zarp {

class Shell;
struct Media;
struct Session;
struct StageSet;

struct SceneEnding {
    static constexpr int32_t kId = 5;

    struct Context {
        Media& media;
        Random& random;          // the stars
        const Session& session;  // a user set leads back to the title
        const StageSet& stages;  // a user set credits its author
        Shell& shell;
    };

    int32_t endingFrame = 0;        // frame counter; back to 0 when the scene is left
    ButtonLatch endingLatch{true};  // A must be seen up before it counts
    double congratsScale = 1.7;     // scale of the shrinking congratulation
    int32_t fallOffset = 0;         // how far the credits have fallen, in half pixels
    int32_t fallSpeed = 0;          // accelerating speed of the fall, 0..128
    int32_t slowSpeed = 128;        // decelerating speed of the stars after the fall, 128..0
    StarField stars;

    void Frame(const Context& c);

  private:
    void DrawCredits(const Context& c, int32_t lines, int32_t dropY);
};

}  // namespace zarp
