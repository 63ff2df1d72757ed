#include "game/media/Trig.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "game/media/TrigAngles.h"

namespace zarp {

namespace {

// The portable value moved by the correction: the build machine's library's bits.
double Corrected(double portable, int8_t correction) {
    int64_t bits = 0;
    std::memcpy(&bits, &portable, sizeof bits);
    bits += correction;
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The sine and cosine of a table angle, as the build machine's library gives them; false when
// the table does not hold the angle.
bool FromTable(double radians, double& sine, double& cosine) {
    // A constant list made once from the game's own angles, not state of the game.
    static const std::vector<double> angles = TableAngles();
    auto it = std::lower_bound(angles.begin(), angles.end(), radians);
    if (it == angles.end() || *it != radians) return false;
    const auto at = static_cast<size_t>(it - angles.begin());
    if (at >= TrigCorrections().size()) return false;
    PortableSinCos(radians, sine, cosine);
    sine = Corrected(sine, TrigCorrections()[at].sine);
    cosine = Corrected(cosine, TrigCorrections()[at].cosine);
    return true;
}

}  // namespace

double Sin(double radians) {
    double sine = 0, cosine = 0;
    return FromTable(radians, sine, cosine) ? sine : std::sin(radians);
}

double Cos(double radians) {
    double sine = 0, cosine = 0;
    return FromTable(radians, sine, cosine) ? cosine : std::cos(radians);
}

}  // namespace zarp
