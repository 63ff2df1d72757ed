#include "game/media/Bitmap.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <unordered_map>
#include <vector>

#include "game/media/FileBytes.h"

namespace zarp {

namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kCompressionNone = 0;

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

std::string LowerCase(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = Lower(c);
    return result;
}

bool KnownInfoHeader(uint32_t size) {
    // The information header and its later, longer versions (the extra fields are not needed).
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

}  // namespace

uint8_t NearestPaletteIndex(const platform::Palette& palette, uint8_t red, uint8_t green,
                            uint8_t blue) {
    uint32_t best = 0;
    uint32_t bestDistance = UINT32_MAX;
    for (uint32_t i = 0; i < palette.size(); ++i) {
        const int32_t dr = palette[i].red - red;
        const int32_t dg = palette[i].green - green;
        const int32_t db = palette[i].blue - blue;
        const uint32_t distance = static_cast<uint32_t>(dr * dr + dg * dg + db * db);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
            if (distance == 0) break;
        }
    }
    return static_cast<uint8_t>(best);
}

SurfacePtr DecodeBmp(std::span<const uint8_t> bytes, const platform::Palette& palette) {
    // Where the information header starts, and where the pixels start when the file says so.
    size_t info = 0;
    bool hasFileHeader = false;
    uint64_t pixelOffset = 0;
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        if (bytes.size() < kFileHeaderBytes + 4) return nullptr;
        hasFileHeader = true;
        info = kFileHeaderBytes;
        pixelOffset = Le32(bytes, 10);
    }
    if (bytes.size() < info + 4) return nullptr;
    const uint32_t headerSize = Le32(bytes, info);
    if (headerSize != kCoreHeaderBytes && !KnownInfoHeader(headerSize)) return nullptr;
    if (bytes.size() < info + headerSize) return nullptr;

    int64_t width = 0, height = 0;
    uint32_t planes = 0, bitCount = 0, compression = kCompressionNone, coloursUsed = 0;
    size_t entryBytes = 4;
    if (headerSize == kCoreHeaderBytes) {
        width = Le16(bytes, info + 4);
        height = Le16(bytes, info + 6);
        planes = Le16(bytes, info + 8);
        bitCount = Le16(bytes, info + 10);
        entryBytes = 3;
    } else {
        width = static_cast<int32_t>(Le32(bytes, info + 4));
        height = static_cast<int32_t>(Le32(bytes, info + 8));
        planes = Le16(bytes, info + 12);
        bitCount = Le16(bytes, info + 14);
        compression = Le32(bytes, info + 16);
        coloursUsed = Le32(bytes, info + 32);
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (planes != 1 || compression != kCompressionNone) return nullptr;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) {
        return nullptr;
    }
    if (width < 1 || height < 1 || width > kMaxBitmapSide || height > kMaxBitmapSide ||
        width * height > kMaxBitmapPixels) {
        return nullptr;
    }

    // Colour table: as many entries as the header says are used (all of them when it says 0).
    const uint64_t tableStart = info + headerSize;
    uint64_t tableEntries = 0;
    if (bitCount <= 8) {
        tableEntries = coloursUsed != 0 ? coloursUsed : (1u << bitCount);
    } else {
        tableEntries = coloursUsed;
    }
    const uint64_t tableEnd = tableStart + tableEntries * entryBytes;
    if (!hasFileHeader) pixelOffset = tableEnd;
    if (pixelOffset < tableStart) return nullptr;

    // The display index of each colour of the table; indices past the table read as black.
    std::array<uint8_t, 256> tableIndex{};
    if (bitCount <= 8) {
        const uint64_t usable = std::min<uint64_t>(tableEntries, uint64_t{1} << bitCount);
        if (tableStart + usable * entryBytes > bytes.size()) return nullptr;
        for (uint64_t i = 0; i < usable; ++i) {
            const size_t at = static_cast<size_t>(tableStart + i * entryBytes);
            tableIndex[i] = NearestPaletteIndex(palette, bytes[at + 2], bytes[at + 1], bytes[at]);
        }
        if (usable < tableIndex.size()) {
            std::fill(tableIndex.begin() + static_cast<std::ptrdiff_t>(usable), tableIndex.end(),
                      NearestPaletteIndex(palette, 0, 0, 0));
        }
    }

    const uint64_t stride = ((static_cast<uint64_t>(width) * bitCount + 31) / 32) * 4;
    const uint64_t rowBytes = (static_cast<uint64_t>(width) * bitCount + 7) / 8;
    // The last row may go without its padding; everything else must be there.
    if (pixelOffset + stride * static_cast<uint64_t>(height - 1) + rowBytes > bytes.size()) {
        return nullptr;
    }

    auto surface = std::make_unique<Surface>();
    surface->width = static_cast<int32_t>(width);
    surface->height = static_cast<int32_t>(height);
    surface->pixels.assign(static_cast<size_t>(width * height), 0);

    std::unordered_map<uint32_t, uint8_t> trueColourIndex;
    auto mapTrueColour = [&](uint8_t red, uint8_t green, uint8_t blue) {
        const uint32_t key = (uint32_t{red} << 16) | (uint32_t{green} << 8) | blue;
        auto found = trueColourIndex.find(key);
        if (found != trueColourIndex.end()) return found->second;
        const uint8_t index = NearestPaletteIndex(palette, red, green, blue);
        trueColourIndex.emplace(key, index);
        return index;
    };

    for (int64_t y = 0; y < height; ++y) {
        const int64_t fileRow = topDown ? y : height - 1 - y;
        const uint8_t* row = bytes.data() + pixelOffset + stride * static_cast<uint64_t>(fileRow);
        uint8_t* out = &surface->At(0, static_cast<int32_t>(y));
        for (int64_t x = 0; x < width; ++x) {
            switch (bitCount) {
                case 1:
                    out[x] = tableIndex[(row[x / 8] >> (7 - x % 8)) & 1];
                    break;
                case 4:
                    out[x] = tableIndex[(row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF];
                    break;
                case 8:
                    out[x] = tableIndex[row[x]];
                    break;
                case 24:
                    out[x] = mapTrueColour(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
                    break;
                default:
                    out[x] = mapTrueColour(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
                    break;
            }
        }
    }
    return surface;
}

const EmbeddedResource* FindResource(std::span<const EmbeddedResource> resources,
                                     std::string_view name) {
    const std::string wanted = LowerCase(name);
    for (const EmbeddedResource& resource : resources) {
        if (resource.name != nullptr && LowerCase(resource.name) == wanted) return &resource;
    }
    return nullptr;
}

SurfacePtr MediaDevices::LoadSheet(const std::string& name) {
    const std::string lowered = LowerCase(name);
    if (lowered.find(".bmp") != std::string::npos) {
        std::vector<uint8_t> bytes;
        if (ReadFileBytes(lowered, kMaxBitmapFileBytes, bytes) != FileRead::Ok) return nullptr;
        return DecodeBmp(bytes, PaletteInForce());
    }
    const EmbeddedResource* resource = FindResource(sheetResources, lowered);
    if (resource == nullptr || resource->data == nullptr) return nullptr;
    return DecodeBmp({resource->data, resource->size}, PaletteInForce());
}

}  // namespace zarp
