// Fixtures for the media tests: small BMP and WAV files built byte by byte, written into the
// shared temporary folder.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "game/media/MediaDevices.h"
#include "game/media/Random.h"
#include "tests/media/FakePlatform.h"
#include "tests/support/Files.h"

namespace zarp::test {

using testing_support::TempDir;
using testing_support::WorkingFolder;

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    testing_support::WriteBytes(path, bytes);
}

inline void PutLe16(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}
inline void PutLe32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}
inline void AppendLe16(std::vector<uint8_t>& bytes, uint32_t value) {
    bytes.resize(bytes.size() + 2);
    PutLe16(bytes, bytes.size() - 2, value);
}
inline void AppendLe32(std::vector<uint8_t>& bytes, uint32_t value) {
    bytes.resize(bytes.size() + 4);
    PutLe32(bytes, bytes.size() - 4, value);
}

struct Rgb {
    uint8_t red = 0, green = 0, blue = 0;
};

// A BMP file with the 40-byte information header. `pixel(x, y)` gives a colour-table index
// (up to 8 bits per pixel) or 0xRRGGBB (24 and 32 bits), with y counted from the top.
inline std::vector<uint8_t> MakeBmp(int32_t width, int32_t height, uint16_t bitCount,
                                    const std::vector<Rgb>& table,
                                    const std::function<uint32_t(int32_t, int32_t)>& pixel,
                                    bool topDown = false) {
    const uint32_t stride = ((static_cast<uint32_t>(width) * bitCount + 31) / 32) * 4;
    const uint32_t offset = 14 + 40 + 4 * static_cast<uint32_t>(table.size());
    std::vector<uint8_t> bytes(offset, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutLe32(bytes, 2, offset + stride * static_cast<uint32_t>(height));
    PutLe32(bytes, 10, offset);
    PutLe32(bytes, 14, 40);
    PutLe32(bytes, 18, static_cast<uint32_t>(width));
    PutLe32(bytes, 22, static_cast<uint32_t>(topDown ? -height : height));
    PutLe16(bytes, 26, 1);
    PutLe16(bytes, 28, bitCount);
    PutLe32(bytes, 46, static_cast<uint32_t>(table.size()));
    for (size_t i = 0; i < table.size(); ++i) {
        bytes[54 + 4 * i] = table[i].blue;
        bytes[54 + 4 * i + 1] = table[i].green;
        bytes[54 + 4 * i + 2] = table[i].red;
    }
    for (int32_t fileRow = 0; fileRow < height; ++fileRow) {
        const int32_t y = topDown ? fileRow : height - 1 - fileRow;
        std::vector<uint8_t> row(stride, 0);
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t value = pixel(x, y);
            switch (bitCount) {
                case 1:
                    row[x / 8] |= static_cast<uint8_t>((value & 1) << (7 - x % 8));
                    break;
                case 4:
                    row[x / 2] |= static_cast<uint8_t>((value & 0xF) << (x % 2 ? 0 : 4));
                    break;
                case 8:
                    row[x] = static_cast<uint8_t>(value);
                    break;
                default: {
                    const size_t at = static_cast<size_t>(x) * (bitCount / 8);
                    row[at] = static_cast<uint8_t>(value);
                    row[at + 1] = static_cast<uint8_t>(value >> 8);
                    row[at + 2] = static_cast<uint8_t>(value >> 16);
                }
            }
        }
        bytes.insert(bytes.end(), row.begin(), row.end());
    }
    return bytes;
}

// One RIFF chunk; `claimed` replaces the true size in its header when given.
inline std::vector<uint8_t> MakeChunk(const char* id, const std::vector<uint8_t>& body,
                                      int64_t claimed = -1) {
    std::vector<uint8_t> bytes(id, id + 4);
    AppendLe32(bytes,
               static_cast<uint32_t>(claimed >= 0 ? claimed : static_cast<int64_t>(body.size())));
    bytes.insert(bytes.end(), body.begin(), body.end());
    if (body.size() % 2 == 1) bytes.push_back(0);
    return bytes;
}

inline std::vector<uint8_t> MakeFormat(uint16_t tag = 1, uint16_t channels = 1,
                                       uint32_t rate = 22050, uint16_t bits = 16) {
    std::vector<uint8_t> body;
    AppendLe16(body, tag);
    AppendLe16(body, channels);
    AppendLe32(body, rate);
    AppendLe32(body, rate * channels * bits / 8);
    AppendLe16(body, channels * bits / 8);
    AppendLe16(body, bits);
    return MakeChunk("fmt ", body);
}

inline std::vector<uint8_t> MakeRiff(const std::vector<std::vector<uint8_t>>& chunks,
                                     const char* form = "WAVE") {
    std::vector<uint8_t> body(form, form + 4);
    for (const auto& chunk : chunks)
        body.insert(body.end(), chunk.begin(), chunk.end());
    return MakeChunk("RIFF", body);
}

inline std::vector<uint8_t> Samples(size_t count) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    return bytes;
}

// A MediaDevices on the fake platform, with its display made.
struct MediaFixture {
    explicit MediaFixture(std::string programFolder = "", bool createDisplay = true)
        : media(fake.platform, random, std::move(programFolder)) {
        if (createDisplay) media.CreateDisplay(false);
    }
    FakePlatform fake;
    Random random;
    MediaDevices media;
};

}  // namespace zarp::test
