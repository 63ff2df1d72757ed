// Ending: congratulation, credits, falling stars, thank-you line.
#pragma once

#include <array>
#include <cstdint>

namespace zarp {

class TForm1;

struct SceneEnding {
    static constexpr int32_t kId = 5;
    static constexpr int32_t kStars = 100;

    int32_t endingFrame = 0;     // frame counter; back to 0 when the scene is left
    bool endingLatch = true;     // button A must be released before it counts
    double congratsScale = 1.7;  // scale of the shrinking congratulation
    int32_t fallOffset = 0;      // how far the credits have fallen, in half pixels
    int32_t fallSpeed = 0;       // accelerating speed of the fall, 0..128
    int32_t slowSpeed = 128;     // decelerating speed of the stars after the fall, 128..0
    std::array<int32_t, kStars> starX{}, starY{};

    void Frame(TForm1& form);

  private:
    void DrawCredits(TForm1& form, int32_t lines, int32_t dropY);
};

}  // namespace zarp
