#include "common/text/Utf8.h"

#include <cstdint>

namespace zarp {
namespace {

constexpr char kHex[] = "0123456789abcdef";
constexpr char kHexUpper[] = "0123456789ABCDEF";

uint8_t At(std::string_view bytes, size_t i) {
    return static_cast<uint8_t>(bytes[i]);
}

bool Continuation(std::string_view bytes, size_t i, uint8_t low = 0x80, uint8_t high = 0xBF) {
    return i < bytes.size() && At(bytes, i) >= low && At(bytes, i) <= high;
}

}  // namespace

size_t Utf8SequenceLength(std::string_view bytes, size_t at) {
    if (at >= bytes.size()) return 0;
    const uint8_t lead = At(bytes, at);
    if (lead < 0x80) return 1;
    // The second byte's range rules out overlong forms (E0, F0), surrogates (ED) and values
    // beyond U+10FFFF (F4).
    if (lead >= 0xC2 && lead <= 0xDF) return Continuation(bytes, at + 1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const uint8_t low = lead == 0xE0 ? 0xA0 : 0x80;
        const uint8_t high = lead == 0xED ? 0x9F : 0xBF;
        return Continuation(bytes, at + 1, low, high) && Continuation(bytes, at + 2) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const uint8_t low = lead == 0xF0 ? 0x90 : 0x80;
        const uint8_t high = lead == 0xF4 ? 0x8F : 0xBF;
        return Continuation(bytes, at + 1, low, high) && Continuation(bytes, at + 2) &&
                       Continuation(bytes, at + 3)
                   ? 4
                   : 0;
    }
    return 0;
}

std::string JsonString(std::string_view bytes) {
    std::string out = "\"";
    size_t i = 0;
    while (i < bytes.size()) {
        const uint8_t c = At(bytes, i);
        const size_t length = Utf8SequenceLength(bytes, i);
        if (length == 0) {
            out += "\\udc";
            out += kHex[c >> 4];
            out += kHex[c & 15];
            ++i;
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out.append(bytes.substr(i, length));
        }
        i += length;
    }
    return out + "\"";
}

std::string PrintableBytes(std::string_view bytes) {
    std::string out;
    size_t i = 0;
    while (i < bytes.size()) {
        const uint8_t c = At(bytes, i);
        const size_t length = Utf8SequenceLength(bytes, i);
        // ASCII controls and DEL, and the C1 controls U+0080 to U+009F, would act on a terminal.
        const bool asciiShown = length == 1 && c >= 0x20 && c < 0x7F && c != '\\' && c != '"';
        const bool c1Control = length == 2 && c == 0xC2 && At(bytes, i + 1) < 0xA0;
        if (asciiShown || (length > 1 && !c1Control)) {
            out.append(bytes.substr(i, length));
            i += length;
            continue;
        }
        const size_t escaped = c1Control ? 2 : 1;
        for (size_t k = 0; k < escaped; ++k) {
            out += "\\x";
            out += kHexUpper[At(bytes, i + k) >> 4];
            out += kHexUpper[At(bytes, i + k) & 15];
        }
        i += escaped;
    }
    return out;
}

}  // namespace zarp
