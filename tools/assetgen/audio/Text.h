// Small helpers for the line-based text sources of the sound and music generators.
#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zarp::audiogen {

// Splits a source line into words. A '#' at the start of a word begins a comment
// (a '#' inside a word is a sharp, as in "c#5").
inline std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
            ++i;
        if (i >= line.size() || line[i] == '#') break;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
            ++i;
        words.emplace_back(line.substr(start, i - start));
    }
    return words;
}

inline std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

inline std::optional<double> ParseNumber(std::string_view s) {
    double value = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || ptr != s.data() + s.size()) return std::nullopt;
    return value;
}

inline std::optional<int> ParseInt(std::string_view s) {
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    int value = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || ptr != s.data() + s.size() || s.empty()) return std::nullopt;
    return value;
}

// "key=value" → key and value; a word without '=' gives an empty value.
inline std::pair<std::string, std::string> KeyValue(const std::string& word) {
    size_t eq = word.find('=');
    if (eq == std::string::npos) return {word, ""};
    return {word.substr(0, eq), word.substr(eq + 1)};
}

inline void PutLe16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

inline void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
    PutLe16(out, v & 0xFFFF);
    PutLe16(out, v >> 16);
}

inline void PutBe16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    out.push_back(static_cast<uint8_t>(v & 0xFF));
}

inline void PutBe32(std::vector<uint8_t>& out, uint32_t v) {
    PutBe16(out, v >> 16);
    PutBe16(out, v & 0xFFFF);
}

inline void PutTag(std::vector<uint8_t>& out, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(tag[i]));
}

}  // namespace zarp::audiogen
