// Runs zarp-headless in a fixture folder and reads back what it wrote: the per-frame trace,
// the final state, the event log, zarp.dat and the saved frames.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zarp::test {

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
    int32_t Int(const std::string& key) const;
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

// The first 256-colour palette.dat the tests use: black, the sheets' opaque near-black, a 6 x 6 x 6
// colour cube (so pure yellow is exact), dark cyan and a grey ramp.
std::vector<uint8_t> FixturePaletteBytes();
// A short silent mono PCM WAV file.
std::vector<uint8_t> SilentWavBytes();

// A stage set in the text format, one value per line, CR LF line ends.
struct StageLayout {
    struct Block {
        int32_t x, y, type;
    };
    struct Stage {
        int32_t startX = 32, startY = 32, angle = 0, rest = 3;
        std::vector<Block> blocks;
        std::vector<std::pair<int32_t, int32_t>> coins;
    };
    std::string author;
    std::vector<Stage> stages;  // playable stages 1..n; slot 0 is written empty
    // Slots written in total; 0 means stages + 1.
    int32_t slots = 0;
    std::string Text() const;
};

struct RunResult {
    int exitStatus = -1;
    std::vector<Json> trace;  // one object per frame
    Json state;
    std::vector<std::string> log;
    std::string output;  // standard output and error of the driver
    // The frame in which the trace first shows `scene` at or after `from`; 0 when never.
    int64_t FirstFrameOfScene(int32_t scene, int64_t from = 1) const;
    const Json& Frame(int64_t frame) const;  // 1-based
    bool LogHas(const std::string& text) const;
    int64_t FirstLogFrame(const std::string& text) const;  // 0 when absent
};

// A fresh folder (removed again at the end of the test) with the fixture palette.dat.
class Fixture {
  public:
    Fixture();
    ~Fixture();
    Fixture(const Fixture&) = delete;
    Fixture& operator=(const Fixture&) = delete;

    const std::filesystem::path& dir() const { return dir_; }
    void Write(const std::string& name, const std::string& text) const;
    void WriteStages(const std::string& name, const StageLayout& layout) const;
    // Runs the game for at most `frames` frames with the key script `keys` (its text).
    RunResult Run(int64_t frames, const std::string& keys,
                  const std::vector<std::string>& shots = {},
                  const std::vector<std::string>& gameArguments = {"w"}) const;

  private:
    std::filesystem::path dir_;
};

// The headless program, from the build.
std::filesystem::path HeadlessProgram();
// The folder of this test's own data files (key scripts, example stage sets).
std::filesystem::path SourceDir();
std::filesystem::path ExamplesDir();
// The text of a key script kept in tests/scenes/keys/.
std::string KeyScript(const std::string& name);

}  // namespace zarp::test
