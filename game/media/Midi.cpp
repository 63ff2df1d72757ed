#include "game/media/Midi.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace zarp {

double MidiSeconds(std::span<const uint8_t> b) {
    auto be = [&](size_t at, int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i)
            v = (v << 8) | b[at + static_cast<size_t>(i)];
        return v;
    };
    if (b.size() < 14 || std::memcmp(b.data(), "MThd", 4) != 0) return 0;
    uint32_t tracks = be(10, 2), division = be(12, 2);
    if (division == 0 || (division & 0x8000) != 0) return 0;  // SMPTE time is not used here
    std::vector<std::pair<uint32_t, uint32_t>> tempos;        // tick, microseconds per quarter
    uint32_t end = 0;
    size_t at = 8 + be(4, 4);
    for (uint32_t t = 0; t < tracks; ++t) {
        if (at + 8 > b.size() || std::memcmp(b.data() + at, "MTrk", 4) != 0) return 0;
        size_t p = at + 8, stop = at + 8 + be(at + 4, 4);
        if (stop > b.size()) return 0;
        uint32_t tick = 0;
        uint8_t status = 0;
        auto varLen = [&](uint32_t& v) {
            v = 0;
            for (int i = 0; i < 4 && p < stop; ++i) {
                uint8_t c = b[p++];
                v = (v << 7) | (c & 0x7F);
                if ((c & 0x80) == 0) return true;
            }
            return false;
        };
        while (p < stop) {
            uint32_t delta = 0, length = 0;
            if (!varLen(delta) || p >= stop) return 0;
            tick += delta;
            if (b[p] & 0x80) status = b[p++];
            if (status == 0xFF) {
                if (p >= stop) return 0;
                uint8_t type = b[p++];
                if (!varLen(length) || p + length > stop) return 0;
                if (type == 0x51 && length == 3) tempos.emplace_back(tick, be(p, 3));
                p += length;
                if (type == 0x2F) break;
            } else if (status == 0xF0 || status == 0xF7) {
                if (!varLen(length) || p + length > stop) return 0;
                p += length;
            } else if (status >= 0x80) {
                p += (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
            } else {
                return 0;
            }
        }
        end = std::max(end, tick);
        at = stop;
    }
    std::stable_sort(tempos.begin(), tempos.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    double seconds = 0;
    uint32_t from = 0, micros = 500000;
    for (const auto& [tick, value] : tempos) {
        if (tick >= end) break;
        seconds += static_cast<double>(tick - from) * micros / 1e6 / division;
        from = tick;
        micros = value;
    }
    return seconds + static_cast<double>(end - from) * micros / 1e6 / division;
}

}  // namespace zarp
