#include "tests/support/GameFiles.h"

#include <array>

#include "tests/support/Files.h"

namespace zarp::testing_support {

std::vector<uint8_t> FixturePaletteBytes() {
    std::vector<uint8_t> bytes(14 + 40 + 1024 + 4, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int k = 0; k < 4; ++k)
            bytes[at + k] = static_cast<uint8_t>(v >> (8 * k));
    };
    auto put16 = [&](size_t at, uint16_t v) {
        bytes[at] = static_cast<uint8_t>(v);
        bytes[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<uint32_t>(bytes.size()));
    put32(10, 14 + 40 + 1024);
    put32(14, 40);   // header size
    put32(18, 1);    // width
    put32(22, 1);    // height
    put16(26, 1);    // planes
    put16(28, 8);    // bits per pixel
    put32(46, 256);  // colours used
    std::array<std::array<uint8_t, 3>, 256> colours{};
    colours[1] = {1, 0, 0};
    colours[2] = {0, 127, 127};
    colours[3] = {255, 255, 255};
    const uint8_t levels[6] = {0, 51, 102, 153, 204, 255};
    for (int n = 0; n < 216; ++n) {
        colours[16 + n] = {levels[n / 36], levels[(n / 6) % 6], levels[n % 6]};
    }
    for (int n = 0; n < 24; ++n) {
        uint8_t g = static_cast<uint8_t>(8 + n * 10);
        colours[232 + n] = {g, g, g};
    }
    for (int n = 0; n < 256; ++n) {
        size_t at = 54 + 4 * static_cast<size_t>(n);
        bytes[at] = colours[n][2];  // blue, green, red, reserved
        bytes[at + 1] = colours[n][1];
        bytes[at + 2] = colours[n][0];
    }
    return bytes;
}

std::vector<uint8_t> SilentWavBytes() {
    const uint32_t samples = 64;
    std::vector<uint8_t> bytes;
    auto text = [&](const char* t) {
        for (int k = 0; k < 4; ++k)
            bytes.push_back(static_cast<uint8_t>(t[k]));
    };
    auto u32 = [&](uint32_t v) {
        for (int k = 0; k < 4; ++k)
            bytes.push_back(static_cast<uint8_t>(v >> (8 * k)));
    };
    auto u16 = [&](uint16_t v) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    };
    text("RIFF");
    u32(4 + 8 + 18 + 8 + samples * 2);
    text("WAVE");
    text("fmt ");
    u32(18);
    u16(1);      // PCM
    u16(1);      // mono
    u32(22050);  // samples per second
    u32(44100);  // bytes per second
    u16(2);      // block alignment
    u16(16);     // bits per sample
    u16(0);      // no extra bytes
    text("data");
    u32(samples * 2);
    bytes.resize(bytes.size() + static_cast<size_t>(samples) * 2, 0);
    return bytes;
}

std::vector<uint8_t> GreyPaletteBytes() {
    std::vector<uint8_t> bytes(14 + 40 + 1024, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int k = 0; k < 4; ++k)
            bytes[at + k] = static_cast<uint8_t>(v >> (8 * k));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<uint32_t>(bytes.size()));
    put32(10, static_cast<uint32_t>(bytes.size()));
    put32(14, 40);   // header size
    put32(18, 1);    // width
    put32(22, 1);    // height
    bytes[26] = 1;   // planes
    bytes[28] = 8;   // bits per pixel
    put32(46, 256);  // colours used
    for (size_t n = 0; n < 256; ++n) {
        for (size_t c = 0; c < 3; ++c)
            bytes[54 + 4 * n + c] = static_cast<uint8_t>(n);
    }
    return bytes;
}

std::string ShortMidiBytes() {
    return std::string("MThd\0\0\0\6\0\0\0\1\0\x60MTrk\0\0\0\5\x87\x40\xFF\x2F\0", 27);
}

void WriteEffects(const std::filesystem::path& folder) {
    const std::vector<uint8_t> wav = SilentWavBytes();
    for (const char* name : {"waa",    "trub",  "replay", "Click", "tick",  "shya",  "clear",
                             "needle", "chr",   "rub",    "kir",   "shot",  "coin1", "coin2",
                             "coin3",  "coin4", "coin5",  "coin6", "coin7", "coin8"}) {
        WriteBytes(folder / (std::string(name) + ".wav"), wav);
    }
}

void WriteMusic(const std::filesystem::path& folder) {
    for (const char* name : {"bgm00.mid", "bgm01.mid", "bgm02.mid", "bgm03.mid"})
        WriteBytes(folder / name, ShortMidiBytes());
}

}  // namespace zarp::testing_support
