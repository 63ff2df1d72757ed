// Small drawing helpers for the procedural parts of the sheets.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "tools/assetgen/pictures/Picture.h"

namespace zarp::picgen {

// Coverage mask: 0 = outside, anything else = inside (FreeType grey levels kept as they come).
struct Mask {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> cover;

    Mask() = default;
    Mask(int32_t w, int32_t h)
        : width(w), height(h), cover(static_cast<size_t>(w) * static_cast<size_t>(h), 0) {}
    uint8_t At(int32_t x, int32_t y) const {
        return x >= 0 && y >= 0 && x < width && y < height
                   ? cover[static_cast<size_t>(y) * width + x]
                   : 0;
    }
    void Set(int32_t x, int32_t y, uint8_t v) {
        if (x >= 0 && y >= 0 && x < width && y < height) {
            cover[static_cast<size_t>(y) * width + x] = v;
        }
    }
    bool In(int32_t x, int32_t y, uint8_t threshold = 128) const { return At(x, y) >= threshold; }
};

using Point = std::pair<double, double>;

// Pixels whose centre lies inside the polygon (even-odd rule).
void FillPolygon(Picture& pic, const std::vector<Point>& points, uint8_t index);
void FillPolygonMask(Mask& mask, const std::vector<Point>& points);
// Pixels whose centre lies inside the ellipse.
void FillEllipse(Picture& pic, double cx, double cy, double rx, double ry, uint8_t index);
void Line(Picture& pic, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t index);
// Frames the rectangle with a light top-left and a dark bottom-right edge, width pixels deep.
void Bevel(Picture& pic, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t width,
           uint8_t light, uint8_t dark);
// Every index-0 pixel touching a drawn pixel (8 neighbours, or 4 when !diagonal) gets index.
void Outline(Picture& pic, uint8_t index, bool diagonal = true);
// Applies fn to every pixel of the rectangle; fn returns the new index (or keeps the old one).
void ForEach(Picture& pic, int32_t left, int32_t top, int32_t right, int32_t bottom,
             const std::function<uint8_t(int32_t x, int32_t y, uint8_t old)>& fn);
// Pixels within r of (x, y) in the 8-neighbour sense: grows a mask by r pixels.
Mask Dilate(const Mask& mask, int32_t r, uint8_t threshold = 128);
// Small integer hash for deterministic texture noise.
uint32_t Hash(uint32_t a, uint32_t b, uint32_t seed = 0);
// Ordered 4 x 4 dither threshold in [0, 1).
double Bayer4(int32_t x, int32_t y);

}  // namespace zarp::picgen
