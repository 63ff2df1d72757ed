// The game's 256 named colours, read from assets/pictures/palette.txt.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zarp::picgen {

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

class Palette {
  public:
    // Reads "index name red green blue" lines; all 256 entries must be given exactly once.
    static bool Load(const std::string& path, Palette* out, std::string* error);

    const Rgb& Colour(uint8_t index) const { return colours_[index]; }
    const std::string& Name(uint8_t index) const { return names_[index]; }
    bool Has(const std::string& name) const { return byName_.count(name) != 0; }
    // The index of a named colour; an unknown name is a fault of the generator (throws).
    uint8_t operator[](const std::string& name) const;
    // The entries prefix0, prefix1, ... in order (a shading ramp), at least one.
    std::vector<uint8_t> Ramp(const std::string& prefix) const;
    // Entry of ramp at position t in [0, 1], clamped.
    uint8_t RampAt(const std::string& prefix, double t) const;

  private:
    std::array<Rgb, 256> colours_{};
    std::array<std::string, 256> names_{};
    std::map<std::string, uint8_t> byName_;
};

}  // namespace zarp::picgen
