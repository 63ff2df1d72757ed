#include "tools/assetgen/pictures/Palette.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace zarp::picgen {

bool Palette::Load(const std::string& path, Palette* out, std::string* error) {
    std::ifstream in(path);
    if (!in) {
        *error = path + ": cannot open";
        return false;
    }
    Palette p;
    std::array<bool, 256> seen{};
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        const auto first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') continue;
        std::istringstream fields(line);
        int index = -1;
        std::string name;
        int r = -1;
        int g = -1;
        int b = -1;
        std::string extra;
        if (!(fields >> index >> name >> r >> g >> b) || (fields >> extra) || index < 0 ||
            index > 255 || r < 0 || r > 255 || g < 0 || g > 255 || b < 0 || b > 255) {
            *error = path + ":" + std::to_string(lineNo) +
                     ": expected \"index name red green blue\" with values 0-255";
            return false;
        }
        if (seen[index] || p.byName_.count(name)) {
            *error = path + ":" + std::to_string(lineNo) + ": entry " + std::to_string(index) +
                     " or name " + name + " given twice";
            return false;
        }
        seen[index] = true;
        p.colours_[index] =
            Rgb{static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)};
        p.names_[index] = name;
        p.byName_[name] = static_cast<uint8_t>(index);
    }
    for (int i = 0; i < 256; ++i) {
        if (!seen[i]) {
            *error = path + ": entry " + std::to_string(i) + " missing";
            return false;
        }
    }
    *out = std::move(p);
    return true;
}

uint8_t Palette::operator[](const std::string& name) const {
    const auto it = byName_.find(name);
    if (it == byName_.end()) throw std::runtime_error("palette has no colour named " + name);
    return it->second;
}

std::vector<uint8_t> Palette::Ramp(const std::string& prefix) const {
    std::vector<uint8_t> out;
    for (int i = 0;; ++i) {
        const auto it = byName_.find(prefix + std::to_string(i));
        if (it == byName_.end()) break;
        out.push_back(it->second);
    }
    if (out.empty()) throw std::runtime_error("palette has no ramp named " + prefix);
    return out;
}

uint8_t Palette::RampAt(const std::string& prefix, double t) const {
    const auto ramp = Ramp(prefix);
    const double c = std::clamp(t, 0.0, 1.0);
    const int n = static_cast<int>(ramp.size());
    return ramp[std::min(n - 1, static_cast<int>(c * n))];
}

}  // namespace zarp::picgen
