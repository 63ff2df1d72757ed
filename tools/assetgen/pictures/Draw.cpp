#include "tools/assetgen/pictures/Draw.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace zarp::picgen {

namespace {

template <typename Plot>
void ScanPolygon(int32_t height, const std::vector<Point>& points, Plot plot) {
    if (points.size() < 3) return;
    for (int32_t y = 0; y < height; ++y) {
        const double cy = y + 0.5;
        std::vector<double> xs;
        for (size_t i = 0; i < points.size(); ++i) {
            const Point& a = points[i];
            const Point& b = points[(i + 1) % points.size()];
            if ((a.second <= cy && b.second > cy) || (b.second <= cy && a.second > cy)) {
                xs.push_back(a.first +
                             (cy - a.second) / (b.second - a.second) * (b.first - a.first));
            }
        }
        std::sort(xs.begin(), xs.end());
        for (size_t i = 0; i + 1 < xs.size(); i += 2) {
            const auto x0 = static_cast<int32_t>(std::ceil(xs[i] - 0.5));
            const auto x1 = static_cast<int32_t>(std::ceil(xs[i + 1] - 0.5));
            for (int32_t x = x0; x < x1; ++x)
                plot(x, y);
        }
    }
}

}  // namespace

void FillPolygon(Picture& pic, const std::vector<Point>& points, uint8_t index) {
    ScanPolygon(pic.height, points, [&](int32_t x, int32_t y) { pic.Set(x, y, index); });
}

void FillPolygonMask(Mask& mask, const std::vector<Point>& points) {
    ScanPolygon(mask.height, points, [&](int32_t x, int32_t y) { mask.Set(x, y, 255); });
}

void FillEllipse(Picture& pic, double cx, double cy, double rx, double ry, uint8_t index) {
    if (rx <= 0 || ry <= 0) return;
    for (auto y = static_cast<int32_t>(std::floor(cy - ry)); y <= static_cast<int32_t>(cy + ry);
         ++y) {
        for (auto x = static_cast<int32_t>(std::floor(cx - rx)); x <= static_cast<int32_t>(cx + rx);
             ++x) {
            const double dx = (x + 0.5 - cx) / rx;
            const double dy = (y + 0.5 - cy) / ry;
            if (dx * dx + dy * dy <= 1.0) pic.Set(x, y, index);
        }
    }
}

void Line(Picture& pic, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t index) {
    const int32_t dx = std::abs(x1 - x0);
    const int32_t dy = -std::abs(y1 - y0);
    const int32_t sx = x0 < x1 ? 1 : -1;
    const int32_t sy = y0 < y1 ? 1 : -1;
    int32_t err = dx + dy;
    for (;;) {
        pic.Set(x0, y0, index);
        if (x0 == x1 && y0 == y1) break;
        const int32_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void Bevel(Picture& pic, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t width,
           uint8_t light, uint8_t dark) {
    for (int32_t i = 0; i < width; ++i) {
        for (int32_t x = left + i; x < right - i; ++x) {
            pic.Set(x, top + i, light);
            pic.Set(x, bottom - 1 - i, dark);
        }
        for (int32_t y = top + i; y < bottom - i; ++y) {
            pic.Set(left + i, y, light);
            pic.Set(right - 1 - i, y, dark);
        }
        // The bottom-left and top-right corners split along the diagonal.
        pic.Set(left + i, bottom - 1 - i, dark);
        pic.Set(right - 1 - i, top + i, dark);
    }
}

void Outline(Picture& pic, uint8_t index, bool diagonal) {
    const Picture before = pic;
    for (int32_t y = 0; y < pic.height; ++y) {
        for (int32_t x = 0; x < pic.width; ++x) {
            if (before.At(x, y) != 0) continue;
            bool touch = false;
            for (int32_t dy = -1; dy <= 1 && !touch; ++dy) {
                for (int32_t dx = -1; dx <= 1 && !touch; ++dx) {
                    if (dx == 0 && dy == 0) continue;
                    if (!diagonal && dx != 0 && dy != 0) continue;
                    const uint8_t v = before.At(x + dx, y + dy);
                    touch = v != 0 && v != index;
                }
            }
            if (touch) pic.Set(x, y, index);
        }
    }
}

void ForEach(Picture& pic, int32_t left, int32_t top, int32_t right, int32_t bottom,
             const std::function<uint8_t(int32_t x, int32_t y, uint8_t old)>& fn) {
    for (int32_t y = top; y < bottom; ++y) {
        for (int32_t x = left; x < right; ++x) {
            if (pic.Inside(x, y)) pic.Set(x, y, fn(x, y, pic.At(x, y)));
        }
    }
}

Mask Dilate(const Mask& mask, int32_t r, uint8_t threshold) {
    Mask out(mask.width, mask.height);
    for (int32_t y = 0; y < mask.height; ++y) {
        for (int32_t x = 0; x < mask.width; ++x) {
            bool hit = false;
            for (int32_t dy = -r; dy <= r && !hit; ++dy) {
                for (int32_t dx = -r; dx <= r && !hit; ++dx) {
                    // Round the square off for wider outlines.
                    if (r > 1 && dx * dx + dy * dy > r * r + r) continue;
                    hit = mask.In(x + dx, y + dy, threshold);
                }
            }
            if (hit) out.Set(x, y, 255);
        }
    }
    return out;
}

uint32_t Hash(uint32_t a, uint32_t b, uint32_t seed) {
    uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ seed * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

double Bayer4(int32_t x, int32_t y) {
    static constexpr int kTable[4][4] = {
        {0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return kTable[y & 3][x & 3] / 16.0;
}

}  // namespace zarp::picgen
