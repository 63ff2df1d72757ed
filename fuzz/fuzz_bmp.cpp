// The sheet decoder: any bytes, as a whole BMP file or as bare bitmap information, against a
// full palette.
#include <cstddef>
#include <cstdint>
#include <span>

#include "game/media/Bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zarp::platform::Palette palette{};
    for (size_t i = 0; i < palette.size(); ++i) {
        const auto v = static_cast<uint8_t>(i);
        palette[i] = {v, static_cast<uint8_t>(255 - v), static_cast<uint8_t>(v * 7), 0};
    }
    zarp::SurfacePtr surface = zarp::DecodeBmp(std::span<const uint8_t>(data, size), palette);
    if (surface) {
        // Every pixel of the picture is there.
        if (surface->width < 1 || surface->height < 1 ||
            surface->pixels.size() !=
                static_cast<size_t>(surface->width) * static_cast<size_t>(surface->height)) {
            __builtin_trap();
        }
    }
    return 0;
}
