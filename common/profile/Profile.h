// zarp.dat and other INI text files: sections in brackets, key=value lines. Keeps every
// section and key it does not own; names match case-insensitively.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zarp {

class IniFile {
  public:
    // Parses INI text (CR LF, LF or CR line ends). Never fails: unreadable lines are kept as they
    // are. A UTF-8 byte order mark in front is kept aside and written back by Text().
    void Parse(const std::string& text);
    std::string Text() const;  // CR LF line ends

    // Values are cut to their first 1023 characters.
    std::optional<std::string> Get(const std::string& section, const std::string& key) const;
    // Decimal, $hex, 0x/0X hex; at most 1023 characters; anything else gives `fallback`.
    int32_t GetInt(const std::string& section, const std::string& key, int32_t fallback) const;
    void Set(const std::string& section, const std::string& key, const std::string& value);
    void SetInt(const std::string& section, const std::string& key, int32_t value);

  private:
    // Each line as it stands, with what it is worked out once: a lookup compares names only.
    struct Line {
        enum class Kind : uint8_t { other, section, key };
        std::string text;
        Kind kind = Kind::other;
        std::string name;  // the section or key name, lower-cased
    };
    static Line Classify(std::string text);
    // The lines of the first section called `section` (lower-cased): [begin, end). Nothing
    // when there is none.
    std::optional<std::pair<size_t, size_t>> FindSection(const std::string& section) const;

    std::vector<Line> lines_;
    bool byteOrderMark_ = false;
};

// Reads the file; a missing file reads as empty (true). False with a message when it exists
// but cannot be read, or is UTF-16 text.
bool ReadProfile(const std::string& path, IniFile& profile, std::string* error);

// Read-modify-write under an advisory lock: reads the file, applies `edit`, writes a temporary
// file in the same folder and renames it over the file. False with a message on failure; the
// old file then stays whole.
bool UpdateProfile(const std::string& path, const std::function<void(IniFile&)>& edit,
                   std::string* error);
// The same, with `beforeRename` run while the lock is held, after the new text is on disk and
// before it replaces the file (tests use it to die at the worst moment). The lock is the file
// `path` + ".lock", created beside it.
bool UpdateProfile(const std::string& path, const std::function<void(IniFile&)>& edit,
                   std::string* error, const std::function<void()>& beforeRename);

}  // namespace zarp
