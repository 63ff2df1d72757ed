#include "game/media/Trig.h"

#include <algorithm>
#include <cmath>

namespace zarp {

namespace {

const TrigEntry* Find(double radians) {
    const std::span<const TrigEntry> table = TrigTable();
    auto it = std::lower_bound(
        table.begin(), table.end(), radians,
        [](const TrigEntry& entry, double value) { return entry.radians < value; });
    return it != table.end() && it->radians == radians ? &*it : nullptr;
}

}  // namespace

double Sin(double radians) {
    const TrigEntry* entry = Find(radians);
    return entry ? entry->sine : std::sin(radians);
}

double Cos(double radians) {
    const TrigEntry* entry = Find(radians);
    return entry ? entry->cosine : std::cos(radians);
}

}  // namespace zarp
