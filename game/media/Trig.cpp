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

// The table's place of an angle, or -1 when the table does not hold it.
int64_t Find(double radians) {
    // A constant list made once from the game's own angles, not state of the game.
    static const std::vector<double> angles = TableAngles();
    auto it = std::lower_bound(angles.begin(), angles.end(), radians);
    if (it == angles.end() || *it != radians) return -1;
    const int64_t at = it - angles.begin();
    return at < static_cast<int64_t>(TrigCorrections().size()) ? at : -1;
}

}  // namespace

double Sin(double radians) {
    const int64_t at = Find(radians);
    if (at < 0) return std::sin(radians);
    double sine = 0, cosine = 0;
    PortableSinCos(radians, sine, cosine);
    return Corrected(sine, TrigCorrections()[static_cast<size_t>(at)].sine);
}

double Cos(double radians) {
    const int64_t at = Find(radians);
    if (at < 0) return std::cos(radians);
    double sine = 0, cosine = 0;
    PortableSinCos(radians, sine, cosine);
    return Corrected(cosine, TrigCorrections()[static_cast<size_t>(at)].cosine);
}

}  // namespace zarp
