#include "game/shell/Arguments.h"

#include <cctype>
#include <charconv>

namespace zarp {

std::optional<int32_t> ParseDecimal(const std::string& text) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first == last || *first == '+') return std::nullopt;
    int32_t value = 0;
    auto [end, error] = std::from_chars(first, last, value, 10);
    if (error != std::errc() || end != last) return std::nullopt;
    return value;
}

LaunchOptions ParseLaunchArguments(const std::vector<std::string>& arguments) {
    LaunchOptions options;
    for (const std::string& argument : arguments) {
        std::string lower = argument;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        // Every argument overwrites the number, so the last one decides.
        options.launchStage = ParseDecimal(lower).value_or(0);
        if (lower.find('w') != std::string::npos) options.fullScreenRequest = false;
        if (lower.find('b') != std::string::npos) options.beepMode = true;
    }
    // A stage file handed over by the desktop starts the game normally, whatever its path holds.
    if (!arguments.empty()) {
        std::string first = arguments.front();
        for (char& c : first)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (first.find(".zrp") != std::string::npos) {
            options.launchStage = 0;
            options.fullScreenRequest = true;
            options.beepMode = false;
        }
    }
    return options;
}

}  // namespace zarp
