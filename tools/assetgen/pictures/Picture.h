// An 8-bit picture: one palette index per pixel, index 0 transparent.
#pragma once

#include <cstdint>
#include <vector>

namespace zarp::picgen {

struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels;

    Picture() = default;
    Picture(int32_t w, int32_t h, uint8_t fill = 0)
        : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h), fill) {}

    bool Inside(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    uint8_t At(int32_t x, int32_t y) const {
        return Inside(x, y) ? pixels[static_cast<size_t>(y) * width + x] : 0;
    }
    // Writes outside the picture are dropped, so drawing code never has to clip.
    void Set(int32_t x, int32_t y, uint8_t index) {
        if (Inside(x, y)) pixels[static_cast<size_t>(y) * width + x] = index;
    }
    void FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, uint8_t index) {
        for (int32_t y = top; y < bottom; ++y) {
            for (int32_t x = left; x < right; ++x)
                Set(x, y, index);
        }
    }
    // Copies the w x h rectangle at (sx, sy) of src to (dx, dy); keyed copies skip index 0.
    void Blit(const Picture& src, int32_t sx, int32_t sy, int32_t w, int32_t h, int32_t dx,
              int32_t dy, bool keyed) {
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                if (!src.Inside(sx + x, sy + y)) continue;
                const uint8_t v = src.At(sx + x, sy + y);
                if (keyed && v == 0) continue;
                Set(dx + x, dy + y, v);
            }
        }
    }
    void Paste(const Picture& src, int32_t dx, int32_t dy, bool keyed = true) {
        Blit(src, 0, 0, src.width, src.height, dx, dy, keyed);
    }
    Picture Crop(int32_t sx, int32_t sy, int32_t w, int32_t h) const {
        Picture out(w, h);
        out.Blit(*this, sx, sy, w, h, 0, 0, false);
        return out;
    }
};

}  // namespace zarp::picgen
