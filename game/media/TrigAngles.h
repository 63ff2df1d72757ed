// The angles whose sines and cosines reach the game's state or pictures, written once so that
// the game and the build-time table generator walk exactly the same numbers. Header only: the
// generator includes it without linking the game.
#pragma once

#include <cstdint>

namespace zarp {

// Angles are in units of 2 degrees: pi taken as 3.14159, divided by 90.
inline constexpr double kAngleUnit = 3.14159 / 90;

// The booster ring of frame t (20 down to 0 frames left of the boost): a dotted circle that
// grows from 11.7 to 120 pixels, its dots thinning as it grows.
inline constexpr int32_t kBoosterRingFrames = 20;
inline int32_t BoosterRingStep(int32_t t) {
    return 322 - 16 * t;
}
inline double BoosterRingRadius(int32_t t) {
    return (400 - t * t) * 0.3;
}

// The next dot's angle (in units) of a dotted ellipse; the ellipse runs while it is below 180.
inline double NextEllipseAngle(double a, int32_t step, double radius, double sx, double sy) {
    return a + step / radius / sx / sy;
}

// Calls f(radians) for every angle the table holds: each half unit from 0 to 360 (the aim's
// marker turns by half units; the launch takes whole ones) and every dot of the booster ring.
// The same angle may come more than once.
template <typename F>
void ForEachTableAngle(F&& f) {
    for (int32_t k = 0; k <= 720; ++k)
        f((k * 0.5) * kAngleUnit);
    for (int32_t t = 0; t < kBoosterRingFrames; ++t) {
        const double radius = BoosterRingRadius(t);
        for (double a = 0.0; a < 180; a = NextEllipseAngle(a, BoosterRingStep(t), radius, 1.0, 1.0))
            f(a * kAngleUnit);
    }
}

}  // namespace zarp
