#include "tools/assetgen/pictures/PixelMap.h"

#include <array>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace zarp::picgen {

bool LoadPixelMaps(const std::string& path, const Palette& palette, PictureSet* out,
                   std::string* error) {
    std::ifstream in(path);
    if (!in) {
        *error = path + ": cannot open";
        return false;
    }
    std::array<int, 256> keys;
    keys.fill(-1);
    std::string line;
    int lineNo = 0;
    auto fail = [&](const std::string& what) {
        *error = path + ":" + std::to_string(lineNo) + ": " + what;
        return false;
    };
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        std::istringstream fields(line);
        std::string word;
        fields >> word;
        if (word == "key") {
            std::string ch;
            std::string colour;
            if (!(fields >> ch >> colour) || ch.size() != 1) {
                return fail("expected \"key <character> <colour name>\"");
            }
            if (!palette.Has(colour)) return fail("no palette colour named " + colour);
            keys[static_cast<uint8_t>(ch[0])] = palette[colour];
        } else if (word == "picture") {
            std::string name;
            int32_t w = 0;
            int32_t h = 0;
            if (!(fields >> name >> w >> h) || w <= 0 || h <= 0 || w > 1024 || h > 1024) {
                return fail("expected \"picture <name> <width> <height>\"");
            }
            if (out->count(name)) return fail("picture " + name + " given twice");
            Picture pic(w, h);
            for (int32_t y = 0; y < h; ++y) {
                if (!std::getline(in, line)) return fail("picture " + name + " ends early");
                ++lineNo;
                if (!line.empty() && line.back() == '\r') line.pop_back();
                if (static_cast<int32_t>(line.size()) != w) {
                    return fail("row of " + std::to_string(line.size()) + " characters, expected " +
                                std::to_string(w));
                }
                for (int32_t x = 0; x < w; ++x) {
                    const int v = keys[static_cast<uint8_t>(line[x])];
                    if (v < 0) return fail(std::string("character '") + line[x] + "' has no key");
                    pic.Set(x, y, static_cast<uint8_t>(v));
                }
            }
            (*out)[name] = std::move(pic);
        } else {
            return fail("unknown line \"" + word + "\"");
        }
    }
    return true;
}

const Picture& Need(const PictureSet& set, const std::string& name) {
    const auto it = set.find(name);
    if (it == set.end()) throw std::runtime_error("no pixel map named " + name);
    return it->second;
}

}  // namespace zarp::picgen
