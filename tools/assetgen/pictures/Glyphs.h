// Text rendered with FreeType into coverage masks (the font sheet, the title, the logo).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/assetgen/pictures/Draw.h"

namespace zarp::picgen {

struct RenderedText {
    Mask mask;            // tight around the ink
    int32_t left = 0;     // ink's left edge relative to the pen start
    int32_t top = 0;      // ink's top edge relative to the baseline (negative: above it)
    int32_t advance = 0;  // pen advance in pixels
};

class TrueTypeFont {
  public:
    TrueTypeFont();
    ~TrueTypeFont();
    TrueTypeFont(const TrueTypeFont&) = delete;
    TrueTypeFont& operator=(const TrueTypeFont&) = delete;

    bool Open(const std::string& path, std::string* error);
    bool HasGlyph(char32_t code) const;
    // Renders the code points at an em of pixelSize, stretched horizontally by xScale and slanted
    // by shear (x += shear * height above the baseline); letterGap adds pixels between letters.
    RenderedText Render(const std::u32string& text, double pixelSize, double xScale = 1.0,
                        double shear = 0.0, int32_t letterGap = 0) const;

  private:
    struct Handles;
    std::unique_ptr<Handles> handles_;
};

}  // namespace zarp::picgen
