// Sine and cosine with the same bits on every build. The angles the game uses (TrigAngles.h)
// are looked up in a table computed on the build machine, so a build whose maths library rounds
// the last bit differently (the browser's) still moves and draws exactly like the native game;
// any other angle is computed by the library.
#pragma once

#include <span>

namespace zarp {

struct TrigEntry {
    double radians, sine, cosine;
};

// The generated table, sorted by angle, each angle once.
std::span<const TrigEntry> TrigTable();

double Sin(double radians);
double Cos(double radians);

}  // namespace zarp
