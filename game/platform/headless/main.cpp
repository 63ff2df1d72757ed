// zarp-headless: the real game on a virtual clock, with scripted keys and answers, captured
// frames, a per-frame trace and an event log. Tests, replays and stage checks run through it.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/paths/Paths.h"
#include "common/text/Utf8.h"
#include "game/platform/headless/Headless.h"
#include "game/shell/Arguments.h"
#include "game/shell/Form.h"

namespace {

using namespace zarp;

volatile std::sig_atomic_t signalled = 0;
void OnSignal(int) {
    signalled = 1;
}

constexpr const char* kUsage =
    "usage: zarp-headless [options] [-- game arguments...]\n"
    "  --frames N         run at most N frames, then close the main window as F9 does\n"
    "  --keys FILE        input script: lines \"FROM[-TO] KEY [KEY...]\" (frames from 1);\n"
    "                     keys are held during those frames; the first frame of a hold also\n"
    "                     delivers a key-down message; '#' starts a comment. Keys: Left Right\n"
    "                     Up Down Space Z X Return Escape Shift F5 F6 F9 Numpad2 Numpad4\n"
    "                     Numpad6 Numpad8 and the letters A to Z\n"
    "  --seed N           seed the game's random generator with N instead of the time\n"
    "  --program-dir DIR  program folder (zarp.dat, WAVs, MIDIs); the game runs portable from\n"
    "                     there. Default: this program's folder, portable when it holds\n"
    "                     palette.dat, else installed (data in ../share/zarpane, zarp.dat and\n"
    "                     the player's sets in $XDG_DATA_HOME/zarpane)\n"
    "  --workdir DIR      working folder (stage.dat, palette.dat, *.zrp); default: current\n"
    "  --answer A         answer the next message box: yes, no, ok or cancel (repeatable)\n"
    "  --no-sound-device  the sound device cannot be opened\n"
    "  --shot F:FILE.png  save the picture presented last when frame F ends (repeatable)\n"
    "  --trace FILE       one JSON object per line after each frame\n"
    "  --log FILE         one line per event: sound, music command, message box\n"
    "  --state FILE       at exit, one JSON object with the shared game state\n"
    "                     JSON strings hold the game's bytes as UTF-8; a byte that is not part\n"
    "                     of valid UTF-8 (a Shift-JIS name) is written as \\udcNN, U+DC00 plus\n"
    "                     the byte, so the bytes come back (Python: json.load, then\n"
    "                     .encode(\"utf-8\", \"surrogateescape\")); a number that is not finite\n"
    "                     is null\n"
    "  --help, --version\n"
    "Game arguments are zarp's; among them --lang en shows the message boxes in English (the\n"
    "headless game speaks Japanese otherwise, whatever the locale, so its logs do not depend on\n"
    "the machine).\n"
    "exit status: as zarp (0, or 255 for the exits with status -1)\n";

std::string Absolute(const std::string& path, const std::string& base) {
    if (path.empty() || path[0] == '/') return path;
    return base + "/" + path;
}

std::string Number(double value) {
    if (!std::isfinite(value)) return "null";  // JSON has no infinities and no NaN
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

template <typename T>
std::string Array(const T& values) {
    std::string out = "[";
    for (size_t i = 0; i < 10; ++i) {
        if (i) out += ",";
        if constexpr (std::is_same_v<typename T::value_type, std::string>) {
            out += JsonString(values[i]);
        } else {
            out += std::to_string(values[i]);
        }
    }
    return out + "]";
}

struct Options {
    int64_t frames = -1;
    std::string keys, programDir, workDir, trace, log, state;
    std::optional<uint32_t> seed;
    std::vector<platform::Answer> answers;
    std::multimap<int64_t, std::string> shots;
    std::vector<std::string> gameArguments;
    bool noSoundDevice = false;
};

constexpr uint32_t kReleaseSlackMs = 10000;

class Driver : public FrameHooks {
  public:
    Driver(const Options& options, headless::Machine& machine, std::vector<headless::KeyHold> holds)
        : options_(options),
          clock_(machine.clock),
          keyboard_(machine.keyboard),
          messages_(machine.messages),
          screen_(machine.screen),
          log_(machine.log) {
        // Per key, its holds sorted and joined where they touch, walked once as frames go by.
        for (const headless::KeyHold& hold : holds) {
            for (int key : hold.keys)
                tracks_[key].spans.emplace_back(hold.from, hold.to);
        }
        for (auto& [key, track] : tracks_) {
            std::sort(track.spans.begin(), track.spans.end());
            std::vector<std::pair<int64_t, int64_t>> joined;
            for (const auto& span : track.spans) {
                if (!joined.empty() && span.first <= joined.back().second + 1) {
                    joined.back().second = std::max(joined.back().second, span.second);
                } else {
                    joined.push_back(span);
                }
            }
            track.spans = std::move(joined);
        }
    }

    bool OpenTrace() {
        if (options_.trace.empty()) return true;
        trace_.reset(std::fopen(options_.trace.c_str(), "w"));
        return trace_ != nullptr;
    }

    void BeforeCreate(TForm1& form) override { form.fixedSeed = options_.seed; }

    void BeforeFrame(TForm1& form, int64_t frame) override {
        log_.frame = frame;
        // A key is held for whole frames. A frame that waits for a key's release would wait
        // forever on a virtual clock, so a held key also lets go by itself once the clock has run
        // past the end of its hold (counted in 16 ms frames from now) by ten seconds, far more
        // than any wait within one frame.
        std::map<int, int64_t> lastFrame;
        for (auto& [key, track] : tracks_) {
            while (track.next < track.spans.size() && track.spans[track.next].second < frame) {
                ++track.next;
            }
            if (track.next < track.spans.size() && track.spans[track.next].first <= frame) {
                lastFrame[key] = track.spans[track.next].second;
            }
        }
        std::map<int, uint32_t> releaseTicks;
        for (const auto& [key, last] : lastFrame) {
            int64_t frames = std::min<int64_t>(last - frame + 1, 100000000);
            releaseTicks[key] = clock_.now + static_cast<uint32_t>(frames * 16) + kReleaseSlackMs;
            if (!previous_.count(key)) messages_.keyDowns.push_back(key);
        }
        keyboard_.SetHeldUntil(releaseTicks);
        previous_.clear();
        for (const auto& [key, last] : lastFrame)
            previous_.insert(key);
        if (options_.frames >= 0 && frame > options_.frames) form.Close();
    }

    void AfterFrame(TForm1& form, int64_t frame) override {
        if (trace_) {
            const Player& p = form.session.Player;
            std::fprintf(trace_.get(),
                         "{\"frame\":%lld,\"scene\":%d,\"stageNo\":%d,\"score\":%d,\"rest\":%d,"
                         "\"credit\":%d,\"x\":%s,\"y\":%s,\"vx\":%s,\"vy\":%s,\"angle\":%s,"
                         "\"flying\":%s,\"needleTime\":%d,\"brakeTime\":%d,\"boostTime\":%d,"
                         "\"combo\":%d,\"maxHit\":%d,\"blinkTimer\":%d}\n",
                         static_cast<long long>(frame), form.scene, form.session.stageNo, p.score,
                         p.rest, p.credit, Number(p.x).c_str(), Number(p.y).c_str(),
                         Number(p.vx).c_str(), Number(p.vy).c_str(), Number(p.angle).c_str(),
                         p.flying ? "true" : "false", p.needleTime, p.brakeTime, p.boostTime,
                         p.combo, p.maxHit, form.field.blinkTimer);
        }
        auto [first, last] = options_.shots.equal_range(frame);
        for (auto it = first; it != last; ++it) {
            std::string error;
            if (!screen_.SavePng(it->second, &error)) {
                std::fprintf(stderr, "zarp-headless: %s\n", error.c_str());
            }
        }
    }

    void AtExit(TForm1& form, int32_t exitStatus) override {
        if (trace_) std::fflush(trace_.get());
        if (options_.state.empty()) return;
        std::unique_ptr<FILE, int (*)(FILE*)> out(std::fopen(options_.state.c_str(), "w"), fclose);
        if (!out) {
            std::fprintf(stderr, "zarp-headless: cannot write %s\n", options_.state.c_str());
            return;
        }
        const Session& session = form.session;
        const Ranking& ranking = form.ranking;
        const MediaDevices& devices = form.media.MediaDevices;
        std::fprintf(out.get(),
                     "{\"scene\":%d,\"stageNo\":%d,\"stageTotal\":%d,\"userStageMode\":%s,"
                     "\"launchStage\":%d,\"score\":%d,\"rest\":%d,\"credit\":%d,"
                     "\"rankScore\":%s,\"rankStage\":%s,\"rankName\":%s,\"fullScreen\":%s,"
                     "\"beepMode\":%s,\"exitStatus\":%d}\n",
                     form.scene, session.stageNo, form.stages.stageTotal,
                     session.userStageMode ? "true" : "false", session.launchStage,
                     session.Player.score, session.Player.rest, session.Player.credit,
                     Array(ranking.rankScore).c_str(), Array(ranking.rankStage).c_str(),
                     Array(ranking.rankName).c_str(), devices.fullScreen ? "true" : "false",
                     devices.beepMode ? "true" : "false", exitStatus);
    }

  private:
    const Options& options_;
    headless::VirtualClock& clock_;
    headless::ScriptedKeyboard& keyboard_;
    headless::ScriptedMessages& messages_;
    headless::MemoryScreen& screen_;
    headless::EventLog& log_;
    struct KeyTrack {
        std::vector<std::pair<int64_t, int64_t>> spans;  // first and last frame of each hold
        size_t next = 0;
    };
    std::map<int, KeyTrack> tracks_;
    std::set<int> previous_;
    std::unique_ptr<FILE, int (*)(FILE*)> trace_{nullptr, fclose};
};

int Fail(const std::string& message) {
    std::fprintf(stderr, "zarp-headless: %s\n%s", message.c_str(), kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string cwd;
    {
        char buffer[4096];
        if (getcwd(buffer, sizeof buffer)) cwd = buffer;
    }
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc) return std::nullopt;
            return std::string(argv[++i]);
        };
        if (arg == "--") {
            for (++i; i < argc; ++i)
                options.gameArguments.push_back(argv[i]);
            break;
        } else if (arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--version") {
            std::printf("zarp-headless %s\n", ZARP_VERSION);
            return 0;
        } else if (arg == "--no-sound-device") {
            options.noSoundDevice = true;
            continue;
        }
        std::optional<std::string> v = value();
        if (!v) return Fail("missing value after " + arg);
        if (arg == "--frames") {
            auto n = ParseDecimal(*v);
            if (!n || *n < 0) return Fail("--frames takes a number of frames");
            options.frames = *n;
        } else if (arg == "--keys") {
            options.keys = Absolute(*v, cwd);
        } else if (arg == "--seed") {
            char* end = nullptr;
            unsigned long seed = std::strtoul(v->c_str(), &end, 10);
            if (v->empty() || *end) return Fail("--seed takes a number");
            options.seed = static_cast<uint32_t>(seed);
        } else if (arg == "--program-dir") {
            options.programDir = Absolute(*v, cwd);
        } else if (arg == "--workdir") {
            options.workDir = Absolute(*v, cwd);
        } else if (arg == "--answer") {
            static const std::map<std::string, platform::Answer> kAnswers = {
                {"yes", platform::Answer::Yes},
                {"no", platform::Answer::No},
                {"ok", platform::Answer::Ok},
                {"cancel", platform::Answer::Cancel}};
            auto it = kAnswers.find(*v);
            if (it == kAnswers.end()) return Fail("--answer takes yes, no, ok or cancel");
            options.answers.push_back(it->second);
        } else if (arg == "--shot") {
            size_t colon = v->find(':');
            auto frame =
                colon == std::string::npos ? std::nullopt : ParseDecimal(v->substr(0, colon));
            if (!frame || *frame < 1) return Fail("--shot takes FRAME:FILE.png");
            options.shots.emplace(*frame, Absolute(v->substr(colon + 1), cwd));
        } else if (arg == "--trace") {
            options.trace = Absolute(*v, cwd);
        } else if (arg == "--log") {
            options.log = Absolute(*v, cwd);
        } else if (arg == "--state") {
            options.state = Absolute(*v, cwd);
        } else {
            return Fail("unknown option " + arg);
        }
    }

    std::vector<headless::KeyHold> holds;
    if (!options.keys.empty()) {
        std::string error;
        if (!headless::ParseKeyScript(options.keys, holds, &error)) return Fail(error);
    }
    std::string programDir = options.programDir;
    if (!programDir.empty() && programDir.back() != '/') programDir += '/';
    const Layout layout =
        programDir.empty() ? FindLayout(ProgramFolder()) : PortableLayout(programDir);
    if (!options.workDir.empty() && chdir(options.workDir.c_str()) != 0) {
        return Fail("cannot enter the working folder " + options.workDir);
    }

    auto machine = std::make_unique<headless::Machine>();
    if (!options.log.empty() && !machine->log.Open(options.log)) {
        return Fail("cannot write " + options.log);
    }
    machine->dialogs.answers.assign(options.answers.begin(), options.answers.end());
    machine->audio.available = !options.noSoundDevice;
    machine->messages.signalled = &signalled;
    Driver driver(options, *machine, std::move(holds));
    if (!driver.OpenTrace()) return Fail("cannot write " + options.trace);

    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    int32_t status = RunGame(machine->platform, layout, options.gameArguments, &driver);
    return status & 0xFF;
}
