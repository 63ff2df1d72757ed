// How a voice's pan sounds, for every backend that plays voices.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace zarp::platform {

// Left and right gains (0..255) for a pan in hundredths of a decibel: the far side is
// attenuated by |pan| / 100 dB, the near side stays at full level.
struct PanGains {
    uint8_t left = 255;
    uint8_t right = 255;
    bool operator==(const PanGains&) const = default;
};

inline PanGains GainsForPan(int pan) {
    pan = std::clamp(pan, -10000, 10000);
    const double far = 255.0 * std::pow(10.0, -std::abs(pan) / 2000.0);
    const auto farGain = static_cast<uint8_t>(std::lround(far));
    PanGains gains;
    if (pan < 0) gains.right = farGain;
    if (pan > 0) gains.left = farGain;
    return gains;
}

}  // namespace zarp::platform
