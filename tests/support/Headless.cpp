#include "tests/support/Headless.h"

#include <fcntl.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

#include "tests/support/Files.h"

namespace zarp::testing_support {

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

// ---- processes ----

int StartProcess(const std::vector<std::string>& argv, const fs::path& workdir,
                 const std::vector<std::string>& environment, const fs::path& outPath,
                 const fs::path& errPath) {
    const pid_t child = ::fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        const int in = ::open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0 || ::chdir(workdir.c_str()) != 0) ::_exit(126);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        for (const std::string& entry : environment) {
            const size_t equals = entry.find('=');
            ::setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 1);
        }
        std::vector<char*> args;
        for (const std::string& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    return child;
}

ProcessResult WaitProcess(int child) {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
    }
    ProcessResult result;
    if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    return result;
}

ProcessResult RunProcess(const std::vector<std::string>& argv, const fs::path& workdir,
                         const std::vector<std::string>& environment) {
    TempDir outputs("zarp-output");
    const fs::path out = outputs.dir() / "out";
    const fs::path err = outputs.dir() / "err";
    // Another user (a run under setpriv) must be able to write them.
    fs::permissions(outputs.dir(), fs::perms::all);
    ProcessResult result = WaitProcess(StartProcess(argv, workdir, environment, out, err));
    result.out = ReadBytes(out);
    result.err = ReadBytes(err);
    return result;
}

fs::path HeadlessProgram() {
    return ZARP_HEADLESS_PROGRAM;
}

// ---- zarp-headless ----

namespace {

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

RunResult RunHeadless(const HeadlessRun& run) {
    // The driver's own files go beside the game's folders, never into them.
    TempDir outputs("zarp-run");
    fs::permissions(outputs.dir(), fs::perms::all);  // for a run as another user
    const fs::path keys = outputs.dir() / "keys.txt";
    const fs::path trace = outputs.dir() / "trace.jsonl";
    const fs::path log = outputs.dir() / "events.log";
    const fs::path state = outputs.dir() / "state.json";
    WriteBytes(keys, run.keys);

    std::vector<std::string> argv = run.prefix;
    argv.insert(argv.end(),
                {run.program.string(), "--program-dir", run.programDir.string(), "--workdir",
                 run.workDir.string(), "--keys", keys.string(), "--seed", "1", "--trace",
                 trace.string(), "--log", log.string(), "--state", state.string()});
    if (run.frames >= 0) argv.insert(argv.end(), {"--frames", std::to_string(run.frames)});
    argv.insert(argv.end(), run.options.begin(), run.options.end());
    argv.push_back("--");
    argv.insert(argv.end(), run.gameArguments.begin(), run.gameArguments.end());

    const ProcessResult process = RunProcess(argv, run.workDir, run.environment);
    RunResult result;
    result.exitStatus = process.exitStatus;
    result.signal = process.signal;
    result.out = process.out;
    result.err = process.err;
    result.traceText = ReadBytes(trace);
    for (const std::string& l : Lines(result.traceText)) {
        if (!l.empty()) result.trace.push_back(ParseJson(l));
    }
    result.stateText = ReadBytes(state);
    result.state = ParseJson(result.stateText);
    result.log = Lines(ReadBytes(log));
    return result;
}

const Json& RunResult::Frame(int64_t frame) const {
    if (frame < 1 || frame > static_cast<int64_t>(trace.size())) return kNull;
    return trace[static_cast<size_t>(frame - 1)];
}

double RunResult::At(int64_t frame, const std::string& key) const {
    const Json& v = Frame(frame)[key];
    if (v.kind == Json::Kind::Bool) return v.boolean ? 1 : 0;
    if (v.kind != Json::Kind::Number) return -12345.0;
    return v.number;
}

int64_t RunResult::FirstFrame(const std::string& key, double value, int64_t from) const {
    for (int64_t f = std::max<int64_t>(from, 1); f <= static_cast<int64_t>(trace.size()); ++f) {
        const Json& v = Frame(f)[key];
        if (v.kind != Json::Kind::Null && At(f, key) == value) return f;
    }
    return 0;
}

int64_t RunResult::FirstFrameOfScene(int32_t scene, int64_t from) const {
    for (int64_t f = std::max<int64_t>(from, 1); f <= static_cast<int64_t>(trace.size()); ++f) {
        if (Frame(f).Int("scene") == scene) return f;
    }
    return 0;
}

bool RunResult::LogHas(const std::string& text) const {
    return LogCount(text) > 0;
}

int RunResult::LogCount(const std::string& text) const {
    return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const std::string& line) {
        return line.find(text) != std::string::npos;
    }));
}

int64_t RunResult::FirstLogFrame(const std::string& text) const {
    for (const std::string& l : log) {
        if (l.find(text) != std::string::npos) {
            const int64_t f = std::atoll(l.c_str());
            return f > 0 ? f : 1;
        }
    }
    return 0;
}

std::vector<std::string> RunResult::LogOf(int64_t frame) const {
    std::vector<std::string> out;
    const std::string prefix = std::to_string(frame) + " ";
    for (const std::string& l : log) {
        if (l.rfind(prefix, 0) == 0) out.push_back(l.substr(prefix.size()));
    }
    return out;
}

std::vector<int64_t> RunResult::SoundFrames(const std::string& file) const {
    std::vector<int64_t> out;
    const std::string sound = "sound " + file + " ";
    for (const std::string& l : log) {
        const size_t space = l.find(' ');
        if (space != std::string::npos && l.compare(space + 1, sound.size(), sound) == 0) {
            out.push_back(std::stoll(l.substr(0, space)));
        }
    }
    return out;
}

int RunResult::StageRefusals(const std::string& name) const {
    return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const std::string& line) {
        return line.find("messagebox") != std::string::npos &&
               line.find("Cannot load the stage file") != std::string::npos &&
               line.find(name) != std::string::npos;
    }));
}

}  // namespace zarp::testing_support
