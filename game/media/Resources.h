// The bitmaps built into the program, found by name.
#pragma once

#include <cstddef>
#include <span>

namespace zarp {

struct EmbeddedResource {
    const char* name;
    const unsigned char* data;
    size_t size;
};

std::span<const EmbeddedResource> EmbeddedResources();

}  // namespace zarp
