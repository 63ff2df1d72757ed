// The angles whose sines and cosines reach the game's state or pictures, written once so that
// the game and the build-time table generator walk exactly the same numbers, and the portable
// sine and cosine the table corrects. Header only: the generator includes it without linking
// the game.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace zarp {

// Angles are in units of 2 degrees: pi taken as 3.14159, divided by 90.
inline constexpr double kAngleUnit = 3.14159 / 90;

// The booster ring of frame t (20 down to 0 frames left of the boost): a dotted circle that
// grows from 11.7 to 120 pixels, its dots thinning as it grows.
// The table holds every half unit from 0 to 360 units.
inline constexpr int32_t kHalfUnits = 720;

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
    for (int32_t k = 0; k <= kHalfUnits; ++k)
        f((k * 0.5) * kAngleUnit);
    for (int32_t t = 0; t < kBoosterRingFrames; ++t) {
        const double radius = BoosterRingRadius(t);
        for (double a = 0.0; a < 180; a = NextEllipseAngle(a, BoosterRingStep(t), radius, 1.0, 1.0))
            f(a * kAngleUnit);
    }
}

// Every angle of ForEachTableAngle once, in ascending order: the order of the table.
inline std::vector<double> TableAngles() {
    std::vector<double> angles;
    ForEachTableAngle([&](double radians) { angles.push_back(radians); });
    std::sort(angles.begin(), angles.end());
    angles.erase(std::unique(angles.begin(), angles.end()), angles.end());
    return angles;
}

// Sine and cosine from additions, multiplications, divisions and floor alone, which every build
// rounds alike: within a few units in the last place of the true values for the angles the game
// uses (a few turns at most). The table stores how far the build machine's library lies from
// these, so that both builds arrive at the library's exact bits.
inline void PortableSinCos(double x, double& sine, double& cosine) {
    // x = k pi/2 + r with |r| <= pi/4; pi/2 in two parts, the first short enough that k times it
    // is exact.
    constexpr double kTwoOverPi = 6.36619772367581382433e-01;
    constexpr double kHalfPiHigh = 1.57079632673412561417e+00;
    constexpr double kHalfPiLow = 6.07710050650619224932e-11;
    const double k = std::floor(x * kTwoOverPi + 0.5);
    const double r = (x - k * kHalfPiHigh) - k * kHalfPiLow;
    const double r2 = r * r;
    // Taylor series, far enough that the next term is below the last place on [-pi/4, pi/4].
    const double s =
        r + r * r2 *
                (-1.0 / 6 +
                 r2 * (1.0 / 120 +
                       r2 * (-1.0 / 5040 +
                             r2 * (1.0 / 362880 +
                                   r2 * (-1.0 / 39916800 +
                                         r2 * (1.0 / 6227020800 + r2 * (-1.0 / 1307674368000)))))));
    const double c =
        1.0 +
        r2 * (-0.5 + r2 * (1.0 / 24 +
                           r2 * (-1.0 / 720 +
                                 r2 * (1.0 / 40320 +
                                       r2 * (-1.0 / 3628800 + r2 * (1.0 / 479001600 +
                                                                    r2 * (-1.0 / 87178291200)))))));
    const double quarter = k - 4 * std::floor(k / 4);
    if (quarter == 0) {
        sine = s, cosine = c;
    } else if (quarter == 1) {
        sine = c, cosine = -s;
    } else if (quarter == 2) {
        sine = -s, cosine = -c;
    } else {
        sine = -c, cosine = s;
    }
}

}  // namespace zarp
