#include "common/profile/Profile.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <cstring>
#include <limits>

#include "common/paths/AtomicFile.h"
#include "common/paths/UniqueFd.h"

namespace zarp {
namespace {

constexpr size_t kMaxValueChars = 1023;
// zarp.dat holds a few hundred bytes; a file far larger is refused rather than read into memory.
constexpr size_t kMaxProfileBytes = 16 * 1024 * 1024;
constexpr const char* kPlaceKeys[10] = {"1st", "2nd", "3rd", "4th", "5th",
                                        "6th", "7th", "8th", "9th", "10th"};
constexpr const char* kDefaultName = "----------";
constexpr int32_t kDefaultScore = 0;
constexpr int32_t kDefaultStage = 1;

std::string Trim(const std::string& text) {
    const char* blanks = " \t";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return "";
    const auto last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

// The name of a "[name]" line, or nothing for any other line.
std::optional<std::string> SectionName(const std::string& line) {
    const std::string text = Trim(line);
    if (text.empty() || text[0] != '[') return std::nullopt;
    const auto close = text.find(']');
    if (close == std::string::npos) return std::nullopt;
    return Trim(text.substr(1, close - 1));
}

// The key of a "key=value" line, or nothing for comments and lines without '='.
std::optional<std::string> KeyName(const std::string& line) {
    const std::string text = Trim(line);
    if (text.empty() || text[0] == ';') return std::nullopt;
    const auto equals = text.find('=');
    if (equals == std::string::npos) return std::nullopt;
    return Trim(text.substr(0, equals));
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

void IniFile::Parse(const std::string& text) {
    lines_.clear();
    size_t start = 0;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines_.emplace_back(text, start, i - start);
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) lines_.emplace_back(text, start, text.size() - start);
}

std::string IniFile::Text() const {
    std::string text;
    for (const std::string& line : lines_) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::optional<std::string> IniFile::Get(const std::string& section, const std::string& key) const {
    bool inSection = false;
    for (const std::string& line : lines_) {
        if (const auto name = SectionName(line)) {
            // The first section of a name is the one that counts.
            if (inSection) return std::nullopt;
            inSection = SameName(*name, section);
            continue;
        }
        if (!inSection) continue;
        if (const auto name = KeyName(line); name && SameName(*name, key)) {
            const auto equals = line.find('=');
            return Trim(line.substr(equals + 1));
        }
    }
    return std::nullopt;
}

int32_t IniFile::GetInt(const std::string& section, const std::string& key,
                        int32_t fallback) const {
    const auto value = Get(section, key);
    if (!value) return fallback;
    // Values are read into a buffer of 1023 characters; the rest of a longer one is not seen.
    const auto number = ParseProfileInt(value->substr(0, kMaxValueChars));
    return number ? *number : fallback;
}

void IniFile::Set(const std::string& section, const std::string& key, const std::string& value) {
    const std::string line = OneLine(key) + "=" + OneLine(value);
    bool inSection = false;
    size_t insertAt = lines_.size();
    bool found = false;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (const auto name = SectionName(lines_[i])) {
            if (inSection) break;
            inSection = SameName(*name, section);
            if (inSection) {
                found = true;
                insertAt = i + 1;
            }
            continue;
        }
        if (!inSection) continue;
        if (const auto name = KeyName(lines_[i])) {
            if (SameName(*name, key)) {
                lines_[i] = line;
                return;
            }
        }
        // New keys go after the section's last non-blank line, before any blank separator.
        if (!Trim(lines_[i]).empty()) insertAt = i + 1;
    }
    if (!found) {
        lines_.push_back("[" + OneLine(section) + "]");
        lines_.push_back(line);
        return;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), line);
}

void IniFile::SetInt(const std::string& section, const std::string& key, int32_t value) {
    Set(section, key, std::to_string(value));
}

bool ReadProfile(const std::string& path, IniFile& profile, std::string* error) {
    std::string text;
    switch (ReadWholeFile(path, text, error, kMaxProfileBytes)) {
        case ReadStatus::ok:
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

int32_t RankingChecksum(const RankInts& rankScore, const RankInts& rankStage) {
    // 32-bit wrapping arithmetic, with the remainder taking the sign of the dividend.
    int32_t sum = 0;
    for (size_t p = 0; p < 10; ++p) {
        const uint32_t place =
            17u * (static_cast<uint32_t>(rankScore[p]) + 4u * static_cast<uint32_t>(rankStage[p]));
        const auto total = static_cast<int32_t>(static_cast<uint32_t>(sum) + place);
        sum = total % 13507;
    }
    return sum;
}

void ReadRanking(const IniFile& profile, RankInts& rankScore, RankInts& rankStage,
                 RankNames& rankName) {
    for (size_t p = 0; p < 10; ++p) {
        rankScore[p] = profile.GetInt("Score", kPlaceKeys[p], kDefaultScore);
        rankStage[p] = profile.GetInt("Stage", kPlaceKeys[p], kDefaultStage);
        rankName[p] = profile.Get("Name", kPlaceKeys[p]).value_or(kDefaultName);
    }
    if (profile.GetInt("Setting", "Sum", 0) != RankingChecksum(rankScore, rankStage)) {
        for (size_t p = 0; p < 10; ++p) {
            rankScore[p] = kDefaultScore;
            rankStage[p] = kDefaultStage;
            rankName[p] = kDefaultName;
        }
    }
}

void WriteRanking(IniFile& profile, const RankInts& rankScore, const RankInts& rankStage,
                  const RankNames& rankName) {
    for (size_t p = 0; p < 10; ++p) {
        profile.SetInt("Score", kPlaceKeys[p], rankScore[p]);
        profile.SetInt("Stage", kPlaceKeys[p], rankStage[p]);
        profile.Set("Name", kPlaceKeys[p], rankName[p]);
    }
    profile.SetInt("Setting", "Sum", RankingChecksum(rankScore, rankStage));
}

}  // namespace zarp
