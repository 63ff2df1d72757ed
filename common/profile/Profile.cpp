#include "common/profile/Profile.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <string_view>
#include <utility>

#include "common/paths/AtomicFile.h"
#include "common/paths/UniqueFd.h"
#include "common/text/Utf8.h"

namespace zarp {
namespace {

constexpr size_t kMaxValueChars = 1023;
// zarp.dat holds a few hundred bytes; a file far larger is refused rather than read into memory.
constexpr size_t kMaxProfileBytes = 16 * 1024 * 1024;

std::string_view Trim(std::string_view text) {
    constexpr std::string_view blanks = " \t";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

// Names match case-insensitively, ASCII letters only.
std::string Lowered(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lowered;
}

// Keeps a value on its own line: a line break inside it would make a new line of the file.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return text;
}

bool ParseDigits(const std::string& digits, int base, uint64_t limit, uint64_t& value) {
    if (digits.empty()) return false;
    uint64_t result = 0;
    for (const char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) return false;
        result = result * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
        if (result > limit) return false;
    }
    value = result;
    return true;
}

std::optional<int32_t> ParseProfileInt(const std::string& text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::string rest = text.substr(i);
    uint64_t magnitude = 0;
    if (!rest.empty() && rest[0] == '$') {
        // Hexadecimal holds 32 bits: $FFFFFFFF is -1.
        if (!ParseDigits(rest.substr(1), 16, 0xFFFFFFFFu, magnitude)) return std::nullopt;
    } else if (rest.size() > 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        if (!ParseDigits(rest.substr(2), 16, 0xFFFFFFFFu, magnitude)) return std::nullopt;
    } else {
        const uint64_t limit =
            static_cast<uint64_t>(std::numeric_limits<int32_t>::max()) + (negative ? 1 : 0);
        if (!ParseDigits(rest, 10, limit, magnitude)) return std::nullopt;
    }
    const auto bits = static_cast<uint32_t>(magnitude);
    return static_cast<int32_t>(negative ? 0u - bits : bits);
}

}  // namespace

IniFile::Line IniFile::Classify(std::string text) {
    Line line;
    const std::string_view trimmed = Trim(text);
    if (!trimmed.empty() && trimmed[0] == '[') {
        // "[name]": whatever follows the first ']' does not count.
        if (const auto close = trimmed.find(']'); close != std::string_view::npos) {
            line.kind = Line::Kind::section;
            line.name = Lowered(Trim(trimmed.substr(1, close - 1)));
        }
    }
    if (line.kind == Line::Kind::other && !trimmed.empty() && trimmed[0] != ';') {
        // "key=value"; comments and lines without '=' are kept as they are.
        if (const auto equals = trimmed.find('='); equals != std::string_view::npos) {
            line.kind = Line::Kind::key;
            line.name = Lowered(Trim(trimmed.substr(0, equals)));
        }
    }
    line.text = std::move(text);
    return line;
}

void IniFile::Parse(const std::string& text) {
    lines_.clear();
    // A UTF-8 byte order mark (as Windows editors write one) is not part of the first line; it is
    // written back in front of the file.
    byteOrderMark_ = StartsWithUtf8ByteOrderMark(text);
    size_t start = byteOrderMark_ ? kUtf8ByteOrderMark.size() : 0;
    size_t i = start;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines_.push_back(Classify(text.substr(start, i - start)));
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) lines_.push_back(Classify(text.substr(start)));
}

std::string IniFile::Text() const {
    std::string text(byteOrderMark_ ? kUtf8ByteOrderMark : "");
    for (const Line& line : lines_) {
        text += line.text;
        text += "\r\n";
    }
    return text;
}

std::optional<std::pair<size_t, size_t>> IniFile::FindSection(const std::string& section) const {
    // The first section of a name is the one that counts.
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind != Line::Kind::section || lines_[i].name != section) continue;
        size_t end = i + 1;
        while (end < lines_.size() && lines_[end].kind != Line::Kind::section)
            ++end;
        return std::make_pair(i + 1, end);
    }
    return std::nullopt;
}

std::optional<std::string> IniFile::Get(const std::string& section, const std::string& key) const {
    const auto range = FindSection(Lowered(section));
    if (!range) return std::nullopt;
    const std::string name = Lowered(key);
    for (size_t i = range->first; i < range->second; ++i) {
        const Line& line = lines_[i];
        if (line.kind == Line::Kind::key && line.name == name) {
            // Values are read into a buffer of 1023 characters; the rest of a longer one is not
            // seen.
            const std::string_view value =
                Trim(std::string_view(line.text).substr(line.text.find('=') + 1));
            return std::string(value.substr(0, kMaxValueChars));
        }
    }
    return std::nullopt;
}

int32_t IniFile::GetInt(const std::string& section, const std::string& key,
                        int32_t fallback) const {
    const auto value = Get(section, key);
    if (!value) return fallback;
    const auto number = ParseProfileInt(*value);
    return number ? *number : fallback;
}

void IniFile::Set(const std::string& section, const std::string& key, const std::string& value) {
    Line line = Classify(OneLine(key) + "=" + OneLine(value));
    const auto range = FindSection(Lowered(section));
    if (!range) {
        lines_.push_back(Classify("[" + OneLine(section) + "]"));
        lines_.push_back(std::move(line));
        return;
    }
    const std::string name = Lowered(key);
    size_t insertAt = range->first;
    for (size_t i = range->first; i < range->second; ++i) {
        if (lines_[i].kind == Line::Kind::key && lines_[i].name == name) {
            lines_[i] = std::move(line);
            return;
        }
        // New keys go after the section's last non-blank line, before any blank separator.
        if (!Trim(lines_[i].text).empty()) insertAt = i + 1;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(line));
}

void IniFile::SetInt(const std::string& section, const std::string& key, int32_t value) {
    Set(section, key, std::to_string(value));
}

bool ReadProfile(const std::string& path, IniFile& profile, std::string* error) {
    std::string text;
    switch (ReadWholeFile(path, text, error, kMaxProfileBytes)) {
        case ReadStatus::ok:
            // Written back as single bytes, UTF-16 text would be spoilt: such a file is left
            // alone.
            if (StartsWithUtf16ByteOrderMark(text)) {
                if (error) *error = path + ": the file is in UTF-16, which is not read here";
                return false;
            }
            profile.Parse(text);
            return true;
        case ReadStatus::missing:
            profile.Parse("");
            return true;
        case ReadStatus::tooLarge:
        case ReadStatus::failed:
            break;
    }
    return false;
}

bool UpdateProfile(const std::string& path, const std::function<void(IniFile&)>& edit,
                   std::string* error) {
    return UpdateProfile(path, edit, error, {});
}

bool UpdateProfile(const std::string& path, const std::function<void(IniFile&)>& edit,
                   std::string* error, const std::function<void()>& beforeRename) {
    // The lock lives on a file of its own: the profile itself is replaced by every write, so a
    // lock on it would be left behind on the old file.
    const std::string lockPath = path + ".lock";
    const UniqueFd lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!lock.valid()) {
        if (error) *error = lockPath + ": cannot lock the settings: " + std::strerror(errno);
        return false;
    }
    while (::flock(lock.get(), LOCK_EX) != 0) {
        if (errno != EINTR) {
            if (error) *error = lockPath + ": cannot lock the settings: " + std::strerror(errno);
            return false;
        }
    }
    IniFile profile;
    if (!ReadProfile(path, profile, error)) return false;
    if (edit) edit(profile);
    return WriteFileAtomically(path, profile.Text(), error, beforeRename);
    // The lock goes with the handle.
}

}  // namespace zarp
