// The game's command line: a stage number for a test play, w for a window, b for beeps.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zarp {

struct LaunchOptions {
    int32_t launchStage = 0;
    bool fullScreenRequest = true;
    bool beepMode = false;
};

// A whole decimal number with an optional minus sign, within 32 bits; nothing else.
std::optional<int32_t> ParseDecimal(const std::string& text);

LaunchOptions ParseLaunchArguments(const std::vector<std::string>& arguments);

}  // namespace zarp
