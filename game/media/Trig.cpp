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

struct TableEntry {
    double radians, sine, cosine;
};

// The game's angles in order with the build machine's library's sine and cosine, made once
// (a constant table, not state of the game); launchEntry[k] is the entry of k half units, the
// angles of every launch and aim, so that those need no search.
struct Table {
    std::vector<TableEntry> entries;
    std::vector<uint32_t> launchEntry;
};

const Table& TheTable() {
    static const Table table = [] {
        Table made;
        const std::vector<double> angles = TableAngles();
        const auto corrections = TrigCorrections();
        for (size_t at = 0; at < angles.size() && at < corrections.size(); ++at) {
            double sine = 0, cosine = 0;
            PortableSinCos(angles[at], sine, cosine);
            made.entries.push_back({angles[at], Corrected(sine, corrections[at].sine),
                                    Corrected(cosine, corrections[at].cosine)});
        }
        for (int32_t k = 0; k <= kHalfUnits; ++k) {
            const double radians = (k * 0.5) * kAngleUnit;
            const auto it = std::lower_bound(
                made.entries.begin(), made.entries.end(), radians,
                [](const TableEntry& entry, double value) { return entry.radians < value; });
            made.launchEntry.push_back(static_cast<uint32_t>(it - made.entries.begin()));
        }
        return made;
    }();
    return table;
}

// The table's entry for an angle, or null when the table does not hold it.
const TableEntry* FromTable(double radians) {
    const Table& table = TheTable();
    // Near enough to pick the candidate; the comparison below decides.
    const double halfUnits = radians * (2 / kAngleUnit) + 0.5;
    if (halfUnits >= 0 && halfUnits < kHalfUnits + 1) {
        const auto k = static_cast<size_t>(halfUnits);
        const uint32_t at = table.launchEntry[k];
        if (at < table.entries.size() && table.entries[at].radians == radians)
            return &table.entries[at];
    }
    const auto it = std::lower_bound(
        table.entries.begin(), table.entries.end(), radians,
        [](const TableEntry& entry, double value) { return entry.radians < value; });
    if (it == table.entries.end() || it->radians != radians) return nullptr;
    return &*it;
}

}  // namespace

double Sin(double radians) {
    const TableEntry* entry = FromTable(radians);
    return entry ? entry->sine : std::sin(radians);
}

double Cos(double radians) {
    const TableEntry* entry = FromTable(radians);
    return entry ? entry->cosine : std::cos(radians);
}

}  // namespace zarp
