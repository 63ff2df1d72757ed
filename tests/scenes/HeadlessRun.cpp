#include "tests/scenes/HeadlessRun.h"

#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace zarp::test {

namespace fs = std::filesystem;

// ---- JSON ----

namespace {
const Json kNull{};

struct JsonReader {
    const std::string& s;
    size_t i = 0;
    bool ok = true;

    void Space() {
        while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i])))
            ++i;
    }
    bool Take(char c) {
        Space();
        if (i < s.size() && s[i] == c) {
            ++i;
            return true;
        }
        return false;
    }
    std::string String() {
        std::string out;
        if (!Take('"')) {
            ok = false;
            return out;
        }
        while (i < s.size() && s[i] != '"') {
            char c = s[i++];
            if (c == '\\' && i < s.size()) {
                char e = s[i++];
                switch (e) {
                    case 'n':
                        out += '\n';
                        break;
                    case 't':
                        out += '\t';
                        break;
                    case 'r':
                        out += '\r';
                        break;
                    case 'u': {
                        unsigned code = 0;
                        for (int k = 0; k < 4 && i < s.size(); ++k, ++i) {
                            code = code * 16 +
                                   static_cast<unsigned>(std::stoi(s.substr(i, 1), nullptr, 16));
                        }
                        out += static_cast<char>(code & 0xFF);
                        break;
                    }
                    default:
                        out += e;
                }
            } else {
                out += c;
            }
        }
        if (i >= s.size()) ok = false;
        ++i;
        return out;
    }
    Json Value(int depth) {
        Json v;
        Space();
        if (i >= s.size() || depth > 32) {
            ok = false;
            return v;
        }
        char c = s[i];
        if (c == '{') {
            ++i;
            v.kind = Json::Kind::Object;
            if (Take('}')) return v;
            do {
                std::string key = String();
                if (!Take(':')) ok = false;
                v.fields[key] = Value(depth + 1);
            } while (ok && Take(','));
            if (!Take('}')) ok = false;
        } else if (c == '[') {
            ++i;
            v.kind = Json::Kind::Array;
            if (Take(']')) return v;
            do {
                v.items.push_back(Value(depth + 1));
            } while (ok && Take(','));
            if (!Take(']')) ok = false;
        } else if (c == '"') {
            v.kind = Json::Kind::String;
            v.text = String();
        } else if (s.compare(i, 4, "true") == 0 || s.compare(i, 5, "false") == 0) {
            v.kind = Json::Kind::Bool;
            v.boolean = s[i] == 't';
            i += v.boolean ? 4 : 5;
        } else if (s.compare(i, 4, "null") == 0) {
            i += 4;
        } else {
            size_t used = 0;
            try {
                v.number = std::stod(s.substr(i, 40), &used);
            } catch (...) {
                ok = false;
            }
            v.kind = Json::Kind::Number;
            i += used;
        }
        return v;
    }
};
}  // namespace

const Json& Json::operator[](const std::string& key) const {
    auto it = fields.find(key);
    return it == fields.end() ? kNull : it->second;
}

int32_t Json::Int(const std::string& key) const {
    const Json& v = (*this)[key];
    if (v.kind == Kind::Bool) return v.boolean ? 1 : 0;
    return static_cast<int32_t>(v.number);
}

Json ParseJson(const std::string& text) {
    JsonReader reader{text};
    Json v = reader.Value(0);
    return reader.ok ? v : Json{};
}

// ---- PNG ----

Picture::Rgb Picture::At(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return {};
    size_t at = (static_cast<size_t>(y) * width + x) * 3;
    return {rgb[at], rgb[at + 1], rgb[at + 2]};
}

Picture ReadPng(const fs::path& path) {
    Picture picture;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return picture;
    }
    picture.width = static_cast<int32_t>(image.width);
    picture.height = static_cast<int32_t>(image.height);
    picture.rgb = std::move(rgb);
    return picture;
}

// ---- palette.dat ----

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

// ---- stage files ----

std::string StageLayout::Text() const {
    const int32_t total = slots > 0 ? slots : static_cast<int32_t>(stages.size()) + 1;
    std::ostringstream out;
    auto line = [&](const auto& v) { out << v << "\r\n"; };
    line(total);
    line(author);
    for (int32_t slot = 0; slot < total; ++slot) {
        if (slot >= 1 && slot <= static_cast<int32_t>(stages.size())) {
            for (const Block& b : stages[slot - 1].blocks) {
                line(b.x);
                line(b.y);
                line(b.type);
            }
        }
        for (int k = 0; k < 3; ++k)
            line("*");
    }
    for (int k = 0; k < 5; ++k)
        line("*");
    line("## other data");
    for (int32_t slot = 0; slot < total; ++slot) {
        if (slot >= 1 && slot <= static_cast<int32_t>(stages.size())) {
            const Stage& s = stages[slot - 1];
            line(s.startX);
            line(s.startY);
            line(s.angle);
            line(s.rest);
            for (const auto& [x, y] : s.coins) {
                line(x);
                line(y);
            }
        } else if (slot > 0) {
            // Filler slots of the built-in set still get a start and settings.
            line(32);
            line(32);
            line(0);
            line(3);
        }
        for (int k = 0; k < 2; ++k)
            line("*");
    }
    return out.str();
}

// ---- runs ----

int64_t RunResult::FirstFrameOfScene(int32_t scene, int64_t from) const {
    for (int64_t f = std::max<int64_t>(from, 1); f <= static_cast<int64_t>(trace.size()); ++f) {
        if (trace[f - 1].Int("scene") == scene) return f;
    }
    return 0;
}

const Json& RunResult::Frame(int64_t frame) const {
    if (frame < 1 || frame > static_cast<int64_t>(trace.size())) return kNull;
    return trace[frame - 1];
}

bool RunResult::LogHas(const std::string& text) const {
    return FirstLogFrame(text) != 0;
}

int64_t RunResult::FirstLogFrame(const std::string& text) const {
    for (const std::string& l : log) {
        if (l.find(text) != std::string::npos) {
            int64_t f = std::atoll(l.c_str());
            return f > 0 ? f : 1;
        }
    }
    return 0;
}

Fixture::Fixture() {
    std::string pattern = (fs::temp_directory_path() / "zarp-scenes-XXXXXX").string();
    if (char* made = mkdtemp(pattern.data())) dir_ = made;
    std::vector<uint8_t> palette = FixturePaletteBytes();
    std::ofstream(dir_ / "palette.dat", std::ios::binary)
        .write(reinterpret_cast<const char*>(palette.data()),
               static_cast<std::streamsize>(palette.size()));
    // Every effect as a short silent PCM file, so the log names what sounded.
    const std::vector<uint8_t> wav = SilentWavBytes();
    for (const char* name : {"waa",    "trub",  "replay", "Click", "tick",  "shya",  "clear",
                             "needle", "chr",   "rub",    "kir",   "shot",  "coin1", "coin2",
                             "coin3",  "coin4", "coin5",  "coin6", "coin7", "coin8"}) {
        std::ofstream(dir_ / (std::string(name) + ".wav"), std::ios::binary)
            .write(reinterpret_cast<const char*>(wav.data()),
                   static_cast<std::streamsize>(wav.size()));
    }
    // Four pieces of five seconds each, so the log shows what played and what repeated.
    const std::string midi("MThd\0\0\0\6\0\0\0\1\0\x60MTrk\0\0\0\5\x87\x40\xFF\x2F\0", 27);
    for (const char* name : {"bgm00.mid", "bgm01.mid", "bgm02.mid", "bgm03.mid"})
        Write(name, midi);
}

Fixture::~Fixture() {
    std::error_code ignored;
    if (!std::getenv("ZARP_KEEP_FIXTURES")) fs::remove_all(dir_, ignored);
}

void Fixture::Write(const std::string& name, const std::string& text) const {
    std::ofstream(dir_ / name, std::ios::binary) << text;
}

void Fixture::WriteStages(const std::string& name, const StageLayout& layout) const {
    Write(name, layout.Text());
}

namespace {
std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        lines.push_back(l);
    }
    return lines;
}
}  // namespace

RunResult Fixture::Run(int64_t frames, const std::string& keys,
                       const std::vector<std::string>& shots,
                       const std::vector<std::string>& gameArguments) const {
    Write("keys.txt", keys);
    std::vector<std::string> args = {HeadlessProgram().string(),
                                     "--workdir",
                                     dir_.string(),
                                     "--program-dir",
                                     dir_.string(),
                                     "--frames",
                                     std::to_string(frames),
                                     "--keys",
                                     (dir_ / "keys.txt").string(),
                                     "--seed",
                                     "1",
                                     "--trace",
                                     (dir_ / "trace.jsonl").string(),
                                     "--log",
                                     (dir_ / "events.log").string(),
                                     "--state",
                                     (dir_ / "state.json").string()};
    for (const std::string& shot : shots) {
        args.push_back("--shot");
        args.push_back(shot);
    }
    args.push_back("--");
    for (const std::string& a : gameArguments)
        args.push_back(a);

    RunResult result;
    const fs::path output = dir_ / "output.txt";
    pid_t pid = fork();
    if (pid == 0) {
        FILE* out = std::freopen(output.c_str(), "w", stdout);
        if (out) dup2(fileno(stdout), 2);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
        result.exitStatus = WEXITSTATUS(status);
    }
    result.output = ReadAll(output);
    for (const std::string& l : Lines(ReadAll(dir_ / "trace.jsonl"))) {
        if (!l.empty()) result.trace.push_back(ParseJson(l));
    }
    result.state = ParseJson(ReadAll(dir_ / "state.json"));
    result.log = Lines(ReadAll(dir_ / "events.log"));
    return result;
}

std::string KeyScript(const std::string& name) {
    return ReadAll(SourceDir() / "keys" / name);
}

fs::path HeadlessProgram() {
    return ZARP_HEADLESS;
}
fs::path SourceDir() {
    return ZARP_SCENE_TESTS_DIR;
}
fs::path ExamplesDir() {
    return ZARP_EXAMPLES_DIR;
}

}  // namespace zarp::test
