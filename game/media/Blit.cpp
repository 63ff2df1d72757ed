// Surface copies and fills with the display's rectangle rules, and the drawing operations of
// MediaDevices that build on them.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "game/media/Bitmap.h"
#include "game/media/MediaDevices.h"
#include "game/media/Trig.h"
#include "game/media/TrigAngles.h"

namespace zarp {

namespace {

// A dotted ellipse with more dots than this is a caller's mistake (a zero or tiny step would
// never finish); it draws nothing.
constexpr double kMaxEllipseDots = 4.0 * 1024 * 1024;

bool Usable(const Surface& surface) {
    return surface.width > 0 && surface.height > 0 &&
           surface.pixels.size() >=
               static_cast<size_t>(surface.width) * static_cast<size_t>(surface.height);
}

struct Box {
    int64_t left, top, right, bottom;
    int64_t Width() const { return right - left; }
    int64_t Height() const { return bottom - top; }
    bool Empty() const { return left >= right || top >= bottom; }
};

// The pixel at (x, y) and those after it on its row.
const uint8_t* PixelAt(const Surface& surface, int64_t x, int64_t y) {
    return surface.pixels.data() + static_cast<size_t>(y * surface.width + x);
}
uint8_t* PixelAt(Surface& surface, int64_t x, int64_t y) {
    return surface.pixels.data() + static_cast<size_t>(y * surface.width + x);
}

Box ToBox(Rect rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

bool Inside(const Box& box, const Surface& surface) {
    return box.left >= 0 && box.top >= 0 && box.right <= surface.width &&
           box.bottom <= surface.height;
}

void CopyRow(uint8_t* to, const uint8_t* from, int64_t count, bool keyed) {
    if (!keyed) {
        std::memmove(to, from, static_cast<size_t>(count));
        return;
    }
    // Sixteen, then eight pixels at a time: a byte mask of the non-zero source pixels picks
    // source or target.
    using Bytes16 = uint8_t __attribute__((vector_size(16)));
    int64_t i = 0;
    for (; i + 16 <= count; i += 16) {
        Bytes16 source, target;
        std::memcpy(&source, from + i, 16);
        std::memcpy(&target, to + i, 16);
        const Bytes16 opaque = reinterpret_cast<Bytes16>(source != 0);
        target = (source & opaque) | (target & ~opaque);
        std::memcpy(to + i, &target, 16);
    }
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    constexpr uint64_t kHigh = 0x8080808080808080ull;
    for (; i + 8 <= count; i += 8) {
        uint64_t source, target;
        std::memcpy(&source, from + i, 8);
        if (source == 0) continue;
        std::memcpy(&target, to + i, 8);
        const uint64_t opaque = ((((source & kLow7) + kLow7) | source) & kHigh) >> 7;
        const uint64_t mask = opaque * 0xFF;
        target = (source & mask) | (target & ~mask);
        std::memcpy(to + i, &target, 8);
    }
    for (; i < count; ++i) {
        if (from[i] != 0) to[i] = from[i];
    }
}

}  // namespace

void BltFast(Surface& target, int32_t x, int32_t y, const Surface& source, Rect sourceRect,
             bool keyed) {
    if (!Usable(target) || !Usable(source)) return;
    const Box from = ToBox(sourceRect);
    // A source rectangle reaching beyond its picture is refused whole, like one that is empty:
    // the stage clear's window asks for 112 rows of a 50-row picture and so leaves the
    // checkerboard of its two passes as the window.
    if (from.Empty() || !Inside(from, source)) return;
    // A fast copy has no clipper: a destination leaving the target is refused whole.
    const Box to{x, y, x + from.Width(), y + from.Height()};
    if (!Inside(to, target)) return;

    const int64_t width = from.Width();
    if (&source == &target) {
        // Overlapping copy inside one surface: take the source rows first.
        std::vector<uint8_t> rows;
        rows.reserve(static_cast<size_t>(width * from.Height()));
        for (int64_t row = from.top; row < from.bottom; ++row) {
            const uint8_t* start = PixelAt(source, from.left, row);
            rows.insert(rows.end(), start, start + width);
        }
        for (int64_t row = 0; row < from.Height(); ++row) {
            CopyRow(PixelAt(target, to.left, to.top + row), rows.data() + row * width, width,
                    keyed);
        }
        return;
    }
    for (int64_t row = 0; row < from.Height(); ++row) {
        CopyRow(PixelAt(target, to.left, to.top + row), PixelAt(source, from.left, from.top + row),
                width, keyed);
    }
}

void Blt(Surface& target, Rect targetRect, const Surface& source, Rect sourceRect, bool keyed) {
    if (!Usable(target) || !Usable(source)) return;
    const Box to = ToBox(targetRect);
    const Box from = ToBox(sourceRect);
    // As with the fast copy, a source reaching beyond its picture is refused.
    if (to.Empty() || from.Empty() || !Inside(from, source)) return;
    // No clipper either: a destination leaving the target is not drawn at all.
    if (!Inside(to, target)) return;

    const int64_t toWidth = to.Width(), toHeight = to.Height();
    const int64_t fromWidth = from.Width(), fromHeight = from.Height();
    if (toWidth == fromWidth && toHeight == fromHeight && &source != &target) {
        for (int64_t row = 0; row < toHeight; ++row) {
            CopyRow(PixelAt(target, to.left, to.top + row),
                    PixelAt(source, from.left, from.top + row), toWidth, keyed);
        }
        return;
    }
    // Nearest neighbour; a copy inside one surface reads from a snapshot of the source.
    const Surface* reading = &source;
    Surface copy;
    if (&source == &target) {
        copy = source;
        reading = &copy;
    }
    std::vector<int32_t> columns(static_cast<size_t>(toWidth));
    for (int64_t dx = 0; dx < toWidth; ++dx) {
        columns[static_cast<size_t>(dx)] =
            static_cast<int32_t>(from.left + (dx * fromWidth) / toWidth);
    }
    for (int64_t dy = 0; dy < toHeight; ++dy) {
        const int32_t sy = static_cast<int32_t>(from.top + (dy * fromHeight) / toHeight);
        const uint8_t* sourceRow = PixelAt(*reading, 0, sy);
        uint8_t* targetRow = PixelAt(target, to.left, to.top + dy);
        for (int64_t dx = 0; dx < toWidth; ++dx) {
            const uint8_t value = sourceRow[columns[static_cast<size_t>(dx)]];
            if (!keyed || value != 0) targetRow[dx] = value;
        }
    }
}

void ColorFill(Surface& target, Rect rect, uint8_t value) {
    if (!Usable(target)) return;
    const Box box = ToBox(rect);
    if (box.Empty() || !Inside(box, target)) return;
    for (int64_t row = box.top; row < box.bottom; ++row) {
        uint8_t* start = PixelAt(target, box.left, row);
        std::memset(start, value, static_cast<size_t>(box.Width()));
    }
}

void MediaDevices::DrawSprite(int32_t x, int32_t y, Rect source, const Surface* sheet) {
    if (!sheet || !backBuffer) return;
    int64_t l = source.left, t = source.top, r = source.right, b = source.bottom;
    int64_t toX = x, toY = y;
    // Clip to the screen: off the left or top edge the source starts later, off the right or
    // bottom edge it ends sooner.
    if (toX < 0) {
        l -= toX;
        toX = 0;
    }
    if (toY < 0) {
        t -= toY;
        toY = 0;
    }
    if (toX > platform::kScreenWidth - (r - l)) r = l + platform::kScreenWidth - toX;
    if (toY > platform::kScreenHeight - (b - t)) b = t + platform::kScreenHeight - toY;
    if (l >= r || t >= b) return;
    constexpr int64_t kLow = std::numeric_limits<int32_t>::min();
    constexpr int64_t kHigh = std::numeric_limits<int32_t>::max();
    if (l < kLow || t < kLow || r > kHigh || b > kHigh || toX > kHigh || toY > kHigh) return;
    BltFast(*backBuffer, static_cast<int32_t>(toX), static_cast<int32_t>(toY), *sheet,
            {static_cast<int32_t>(l), static_cast<int32_t>(t), static_cast<int32_t>(r),
             static_cast<int32_t>(b)},
            true);
}

void MediaDevices::PutPixel(int32_t x, int32_t y, int32_t index) {
    if (!backBuffer || !Usable(*backBuffer)) return;
    if (x < 0 || y < 0 || x >= backBuffer->width || y >= backBuffer->height) return;
    backBuffer->At(x, y) = static_cast<uint8_t>(index & 0xFF);
}

void MediaDevices::FillRectRgb(Surface* surface, int32_t left, int32_t top, int32_t right,
                               int32_t bottom, uint32_t rgb) {
    if (!surface || !Usable(*surface)) return;
    // The no-colour value fills with whatever the top-left pixel holds.
    uint8_t value = surface->At(0, 0);
    if (rgb != 0xFFFFFFFFu) {
        value = NearestPaletteIndex(PaletteInForce(), static_cast<uint8_t>(rgb & 0xFF),
                                    static_cast<uint8_t>((rgb >> 8) & 0xFF),
                                    static_cast<uint8_t>((rgb >> 16) & 0xFF));
    }
    ColorFill(*surface, {left, top, right, bottom}, value);
}

void MediaDevices::DrawEllipse(int32_t step, int32_t index, double cx, double cy, double radius,
                               double sx, double sy) {
    if (!backBuffer) return;
    const double increment = step / radius / sx / sy;
    if (!(increment > 0.0) || 180.0 / increment > kMaxEllipseDots) return;
    double a = 0.0;
    while (a < 180) {
        const double fx = Cos(a * kAngleUnit) * radius * sx + cx;
        const double fy = Sin(a * kAngleUnit) * radius * sy + cy;
        // Only dots that can land on the screen are truncated (the rest would not fit an int).
        if (fx > -2.0 && fx < 1000.0 && fy > -2.0 && fy < 1000.0) {
            const int32_t x = static_cast<int>(fx);
            const int32_t y = static_cast<int>(fy);
            if (0 < x && x < platform::kScreenWidth && 0 < y && y < platform::kScreenHeight) {
                PutPixel(x, y, index);
            }
        }
        a = NextEllipseAngle(a, step, radius, sx, sy);
    }
}

}  // namespace zarp
