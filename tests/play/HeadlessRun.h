// Runs zarp-headless on a test play of a one-stage set made for the test, in a folder of its
// own with a palette.dat and the effect WAVs, and reads back its trace, log and state.
#pragma once

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace zarp::test {

namespace fs = std::filesystem;

struct Block {
    int32_t x, y, type;
};
struct Point {
    int32_t x, y;
};

// A set with one playable stage (slot 1).
struct StageLayout {
    Point start{300, 200};
    int32_t startAngle = 0;
    int32_t rest = 5;
    std::vector<Block> blocks;
    std::vector<Point> coins;
};

inline void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// A 256-colour palette.dat: entry i is the grey (i, i, i).
inline std::string GreyPalette() {
    std::string bytes(1078, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, 1078);
    put32(10, 1078);
    put32(14, 40);
    put32(18, 1);
    put32(22, 1);
    bytes[26] = 1;
    bytes[28] = 8;
    put32(46, 256);
    for (int i = 0; i < 256; ++i) {
        for (int c = 0; c < 3; ++c)
            bytes[54 + 4 * i + c] = static_cast<char>(i);
    }
    return bytes;
}

// A short silent 16-bit mono PCM WAV.
inline std::string SilentWav() {
    std::string bytes;
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    auto put16 = [&](uint16_t v) {
        bytes += static_cast<char>(v & 0xFF);
        bytes += static_cast<char>(v >> 8);
    };
    const uint32_t dataBytes = 64;
    bytes += "RIFF";
    put32(4 + 8 + 16 + 8 + dataBytes);
    bytes += "WAVEfmt ";
    put32(16);
    put16(1);
    put16(1);
    put32(22050);
    put32(44100);
    put16(2);
    put16(16);
    bytes += "data";
    put32(dataBytes);
    bytes += std::string(dataBytes, '\0');
    return bytes;
}

inline std::string StageFile(const StageLayout& s) {
    std::ostringstream out;
    auto line = [&](const auto& v) { out << v << "\r\n"; };
    line(2);
    line("test");
    for (int i = 0; i < 3; ++i)
        line("*");
    for (const Block& b : s.blocks) {
        line(b.x);
        line(b.y);
        line(b.type);
    }
    for (int i = 0; i < 3; ++i)
        line("*");
    for (int i = 0; i < 5; ++i)
        line("*");
    line("## other data");
    for (int i = 0; i < 2; ++i)
        line("*");
    line(s.start.x);
    line(s.start.y);
    line(s.startAngle);
    line(s.rest);
    for (const Point& c : s.coins) {
        line(c.x);
        line(c.y);
    }
    for (int i = 0; i < 2; ++i)
        line("*");
    return out.str();
}

using TraceLine = std::map<std::string, double>;

// Reads a flat JSON object of numbers and booleans (true 1, false 0).
inline TraceLine ParseFlatJson(const std::string& text) {
    TraceLine out;
    size_t i = 0;
    while ((i = text.find('"', i)) != std::string::npos) {
        const size_t end = text.find('"', i + 1);
        if (end == std::string::npos) break;
        const std::string key = text.substr(i + 1, end - i - 1);
        size_t v = end + 2;  // past ":
        size_t stop = text.find_first_of(",}", v);
        const std::string value = text.substr(v, stop - v);
        if (value == "true") {
            out[key] = 1;
        } else if (value == "false") {
            out[key] = 0;
        } else if (!value.empty() && value[0] != '[' && value[0] != '"') {
            out[key] = std::strtod(value.c_str(), nullptr);
        }
        i = stop == std::string::npos ? text.size() : stop;
    }
    return out;
}

struct RunResult {
    int exitStatus = -1;
    std::vector<TraceLine> trace;  // trace[k] is frame k + 1
    std::vector<std::string> log;  // "FRAME what ..."
    TraceLine state;

    // The log lines of one frame, without the frame number.
    std::vector<std::string> LogOf(int64_t frame) const {
        std::vector<std::string> out;
        const std::string prefix = std::to_string(frame) + " ";
        for (const std::string& l : log) {
            if (l.rfind(prefix, 0) == 0) out.push_back(l.substr(prefix.size()));
        }
        return out;
    }
    // Frames (from 1) whose log holds a sound of this file.
    std::vector<int64_t> SoundFrames(const std::string& file) const {
        std::vector<int64_t> out;
        for (const std::string& l : log) {
            const size_t space = l.find(' ');
            if (l.compare(space + 1, 6 + file.size() + 1, "sound " + file + " ") == 0) {
                out.push_back(std::stoll(l.substr(0, space)));
            }
        }
        return out;
    }
    // The first frame (from 1) after which `key` equals `value`, or 0.
    int64_t FirstFrame(const std::string& key, double value, int64_t from = 1) const {
        for (size_t k = static_cast<size_t>(from - 1); k < trace.size(); ++k) {
            auto it = trace[k].find(key);
            if (it != trace[k].end() && it->second == value) return static_cast<int64_t>(k) + 1;
        }
        return 0;
    }
    double At(int64_t frame, const std::string& key) const {
        const TraceLine& line = trace.at(static_cast<size_t>(frame - 1));
        auto it = line.find(key);
        return it == line.end() ? -12345.0 : it->second;
    }
};

class HeadlessGame {
  public:
    HeadlessGame() {
        char pattern[] = "/tmp/zarp-play-XXXXXX";
        dir_ = mkdtemp(pattern);
        runtime_ = dir_ / "run";
        fs::create_directories(runtime_ / "zarpane");
        chmod(runtime_.c_str(), 0700);
        chmod((runtime_ / "zarpane").c_str(), 0700);
        WriteFile(dir_ / "palette.dat", GreyPalette());
        for (const char* name :
             {"shot.wav", "chr.wav", "rub.wav", "needle.wav", "kir.wav", "coin1.wav", "coin2.wav",
              "coin3.wav", "coin4.wav", "coin5.wav", "coin6.wav", "coin7.wav", "coin8.wav",
              "clear.wav", "shya.wav", "replay.wav"}) {
            WriteFile(dir_ / name, SilentWav());
        }
    }
    ~HeadlessGame() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    HeadlessGame(const HeadlessGame&) = delete;
    HeadlessGame& operator=(const HeadlessGame&) = delete;

    const fs::path& Dir() const { return dir_; }
    void SetStage(const StageLayout& layout) {
        WriteFile(runtime_ / "zarpane" / "$$$zrp$$$.tmp", StageFile(layout));
    }

    // Plays test stage `stage` for at most `frames` frames with the key script `keys`.
    RunResult Run(const std::string& keys, int64_t frames, const std::string& stage = "1",
                  const std::vector<std::string>& extra = {}) {
        WriteFile(dir_ / "keys.txt", keys);
        std::string command =
            "XDG_RUNTIME_DIR='" + runtime_.string() + "' '" ZARP_HEADLESS "'" + " --workdir '" +
            dir_.string() + "' --program-dir '" + dir_.string() + "' --seed 1 --frames " +
            std::to_string(frames) + " --keys '" + (dir_ / "keys.txt").string() + "' --trace '" +
            (dir_ / "trace.jsonl").string() + "' --log '" + (dir_ / "log.txt").string() +
            "' --state '" + (dir_ / "state.json").string() + "'";
        for (const std::string& e : extra)
            command += " " + e;
        command += " -- " + stage + " >'" + (dir_ / "stdout.txt").string() + "' 2>&1";
        fs::remove(dir_ / "trace.jsonl");
        fs::remove(dir_ / "log.txt");
        fs::remove(dir_ / "state.json");
        RunResult result;
        const int status = std::system(command.c_str());
        result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::ifstream trace(dir_ / "trace.jsonl");
        for (std::string line; std::getline(trace, line);) {
            result.trace.push_back(ParseFlatJson(line));
        }
        std::ifstream log(dir_ / "log.txt");
        for (std::string line; std::getline(log, line);)
            result.log.push_back(line);
        std::ifstream state(dir_ / "state.json");
        std::string s((std::istreambuf_iterator<char>(state)), std::istreambuf_iterator<char>());
        result.state = ParseFlatJson(s);
        return result;
    }

  private:
    fs::path dir_;
    fs::path runtime_;
};

}  // namespace zarp::test
