#include "tests/support/StageLayout.h"

#include <sstream>

namespace zarp::testing_support {

std::string StageLayout::Text() const {
    const int32_t total = slots > 0 ? slots : static_cast<int32_t>(stages.size()) + 1;
    std::ostringstream out;
    auto line = [&](const auto& v) { out << v << "\r\n"; };
    line(total);
    line(author);
    for (int32_t slot = 0; slot < total; ++slot) {
        if (slot >= 1 && slot <= static_cast<int32_t>(stages.size())) {
            for (const Block& b : stages[slot - 1].blocks) {
                line(b.x);
                line(b.y);
                line(b.type);
            }
        }
        for (int k = 0; k < 3; ++k)
            line("*");
    }
    for (int k = 0; k < 5; ++k)
        line("*");
    line("## other data");
    for (int32_t slot = 0; slot < total; ++slot) {
        if (slot >= 1 && slot <= static_cast<int32_t>(stages.size())) {
            const Stage& s = stages[slot - 1];
            line(s.startX);
            line(s.startY);
            line(s.angle);
            line(s.rest);
            for (const auto& [x, y] : s.coins) {
                line(x);
                line(y);
            }
        } else if (slot > 0) {
            // Filler slots of the built-in set still get a start and settings.
            line(32);
            line(32);
            line(0);
            line(3);
        }
        for (int k = 0; k < 2; ++k)
            line("*");
    }
    return out.str();
}

}  // namespace zarp::testing_support
