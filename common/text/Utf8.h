// Text bytes from outside: the UTF-8 byte order mark that Windows editors put first, and the
// checks and escapes that keep bytes of any code page readable and recoverable.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zarp {

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

inline bool StartsWithUtf8ByteOrderMark(std::string_view bytes) {
    return bytes.starts_with(kUtf8ByteOrderMark);
}

// Either UTF-16 byte order mark (FF FE or FE FF): a text file this program does not read.
inline bool StartsWithUtf16ByteOrderMark(std::string_view bytes) {
    return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
}

// The length of the well-formed UTF-8 sequence of one code point at `at` (1 to 4), or 0 when the
// byte there does not start one: overlong forms, surrogates and values above U+10FFFF count as
// malformed.
size_t Utf8SequenceLength(std::string_view bytes, size_t at);

// A JSON string (quotes included) for any bytes: well-formed UTF-8 stays as it is, '"', '\' and
// control characters are escaped, and a byte that is not part of well-formed UTF-8 is written as
// the lone surrogate \udcNN (U+DC00 plus the byte), from which the byte is recovered (Python:
// json.loads, then .encode("utf-8", "surrogateescape")).
std::string JsonString(std::string_view bytes);

// Bytes for a terminal line: printable ASCII and well-formed UTF-8 of printable characters as
// they are; every other byte, and '\' and '"', as \xNN with two capital hex digits.
std::string PrintableBytes(std::string_view bytes);

}  // namespace zarp
