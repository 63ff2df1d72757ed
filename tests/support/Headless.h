// The one way the tests run programs: a child process with its output caught, and zarp-headless
// on a key script with its per-frame trace, event log and closing state read back. Also the
// small JSON reader for the trace and state, and a PNG reader for the frames it saves.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace zarp::testing_support {

// A small JSON value: enough for the driver's trace and state objects.
struct Json {
    enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
    double number = 0;
    bool boolean = false;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> fields;

    bool Has(const std::string& key) const { return fields.count(key) != 0; }
    const Json& operator[](const std::string& key) const;
    int32_t Int(const std::string& key) const;  // a number, or 1 and 0 for true and false
};
// Parses one JSON text; a malformed text gives a Null value.
Json ParseJson(const std::string& text);

struct Picture {
    int32_t width = 0, height = 0;
    std::vector<uint8_t> rgb;  // width * height * 3
    struct Rgb {
        uint8_t r = 0, g = 0, b = 0;
        bool operator==(const Rgb&) const = default;
    };
    Rgb At(int32_t x, int32_t y) const;
    bool Empty() const { return rgb.empty(); }
};
Picture ReadPng(const std::filesystem::path& path);

struct ProcessResult {
    int exitStatus = -1;  // -1 when killed by a signal
    int signal = 0;
    std::string out, err;
};
// Runs `argv` (argv[0] a path) in `workdir` with `environment` (NAME=VALUE) added and standard
// input empty; waits for its end.
ProcessResult RunProcess(const std::vector<std::string>& argv, const std::filesystem::path& workdir,
                         const std::vector<std::string>& environment = {});
// The same in two steps, for a test that talks to the program while it runs: starts it with its
// standard output and error going to the files `out` and `err`, and returns its process id ...
int StartProcess(const std::vector<std::string>& argv, const std::filesystem::path& workdir,
                 const std::vector<std::string>& environment, const std::filesystem::path& out,
                 const std::filesystem::path& err);
// ... then waits for its end (exit status or signal; `out` and `err` are the caller's to read).
ProcessResult WaitProcess(int child);

// The build's zarp-headless.
std::filesystem::path HeadlessProgram();

// One run of zarp-headless, seeded with 1.
struct HeadlessRun {
    std::filesystem::path programDir, workDir;
    int64_t frames = -1;                          // run to the end when negative
    std::string keys;                             // the key script's text
    std::vector<std::string> options;             // more of the driver's: --shot F:FILE, --answer
    std::vector<std::string> gameArguments{"w"};  // the game's own, after "--"
    std::vector<std::string> environment;         // NAME=VALUE
    std::vector<std::string> prefix;              // a program the driver runs under
    std::filesystem::path program = HeadlessProgram();
};

struct RunResult {
    int exitStatus = -1;
    int signal = 0;
    std::string out, err;
    std::vector<Json> trace;       // one object per frame
    std::string traceText;         // ... as the driver wrote it
    Json state;                    // the closing state object
    std::string stateText;         // ... as the driver wrote it
    std::vector<std::string> log;  // "FRAME what ..." lines

    std::string Output() const { return out + err; }
    const Json& Frame(int64_t frame) const;  // 1-based; Null beyond the trace
    // A number of a frame's trace (1 and 0 for true and false); -12345 when it has none.
    double At(int64_t frame, const std::string& key) const;
    // The first frame at or after `from` whose trace holds `value` under `key`; 0 when none.
    int64_t FirstFrame(const std::string& key, double value, int64_t from = 1) const;
    int64_t FirstFrameOfScene(int32_t scene, int64_t from = 1) const;

    bool LogHas(const std::string& text) const;
    int LogCount(const std::string& text) const;
    int64_t FirstLogFrame(const std::string& text) const;  // 0 when absent
    // The log lines of one frame, without the frame number.
    std::vector<std::string> LogOf(int64_t frame) const;
    // Frames whose log holds a sound of this file.
    std::vector<int64_t> SoundFrames(const std::string& file) const;
    // Message boxes saying that the stage file `name` cannot be loaded.
    int StageRefusals(const std::string& name) const;
};

RunResult RunHeadless(const HeadlessRun& run);

}  // namespace zarp::testing_support
