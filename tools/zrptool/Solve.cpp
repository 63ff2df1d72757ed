// zrptool solve: proves stages clearable with the game's own physics and writes key scripts that
// play the solutions; every solution is replayed through zarp-headless before it is reported.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "common/stage/Stage.h"
#include "tools/zrptool/Command.h"
#include "tools/zrptool/SolveReplay.h"
#include "tools/zrptool/SolveSearch.h"

namespace zarp::zrptool {
namespace {

constexpr int kExitUnsolvable = 1;
constexpr int kExitBudget = 2;

bool ParseCount(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && value > 0 && value < 1e7;
}

std::string Plural(int64_t n, const char* word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

std::string Seconds(double s) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f s", s);
    return buffer;
}

std::string Angles(const std::vector<ShotPlan>& shots) {
    std::string angles;
    for (const ShotPlan& shot : shots) {
        if (!angles.empty()) angles += " ";
        angles += std::to_string(shot.angle);
        if (shot.wait) angles += "+wait" + std::to_string(shot.wait);
        if (shot.brakeFrom) {
            angles += "+brake@" + std::to_string(shot.brakeFrom);
            if (shot.brakeTo != kBrakeUntilRest) angles += "-" + std::to_string(shot.brakeTo);
        }
    }
    return angles;
}

// The figures in words, for the line under a solved stage.
std::string FigureWords(const SolveResult& r) {
    std::string text = "window ";
    text += r.windowStatus == FigureStatus::Known ? std::to_string(r.window) + "/180 directions"
                                                  : "not worked out within the budget";
    text += ", all " + Plural(r.coinCount, "coin") + " ";
    if (r.allCoinsStatus == FigureStatus::Known) {
        text += "in " + Plural(static_cast<int64_t>(r.allCoins.shots.size()), "shot") +
                " (angles " + Angles(r.allCoins.shots) + ")";
    } else if (r.allCoinsStatus == FigureStatus::None) {
        text += "never within " + Plural(r.searchedShots, "shot");
    } else {
        text += "not found within the budget";
    }
    text += r.startAngleClears ? ", the start angle alone clears it"
                               : ", the start angle alone does not clear it";
    return text;
}

std::string Cell(const std::string& text, size_t width) {
    return std::string(text.size() < width ? width - text.size() : 0, ' ') + text;
}

// One row of --table: the stage, its par of its shots, the window, the all-coins par, the
// coins and the start angle, or what kept the stage from being solved.
std::string TableRow(int32_t stage, const SolveResult* r, const std::string& trouble) {
    std::string row = Cell(std::to_string(stage), 5);
    if (!r || !trouble.empty()) return row + "  " + trouble + "\n";
    row += Cell(std::to_string(r->shots.size()), 5) + Cell(std::to_string(r->rest), 7);
    row += Cell(r->windowStatus == FigureStatus::Known ? std::to_string(r->window) : "?", 8);
    std::string allCoins = "?";
    if (r->allCoinsStatus == FigureStatus::Known) {
        allCoins = std::to_string(r->allCoins.shots.size());
    } else if (r->allCoinsStatus == FigureStatus::None) {
        allCoins = "none";
    }
    row += Cell(allCoins, 11) + Cell(std::to_string(r->coinCount), 7);
    row += r->startAngleClears ? "  clears" : "  misses";
    return row + "\n";
}

constexpr const char* kTableHeading = "stage  par  shots  window  all coins  coins  start angle\n";

// A solution is believed only once the game itself has cleared the stage with its keys on
// the predicted frame; "" when it did, else why not.
std::string Confirm(const std::string& headless, const std::string& bytes, int32_t stage,
                    int32_t first, const SolvePath& path, const std::string& script) {
    const int64_t goalFrame = first + path.playFrames - 1;
    ReplayResult replay;
    replay.message = "zarp-headless is not beside zrptool, so the solution cannot be replayed";
    if (!headless.empty()) {
        replay = ReplayStage(headless, bytes, stage, script, first + path.playFrames + 10);
    }
    if (replay.cleared && replay.clearFrame == goalFrame) return "";
    return replay.cleared ? "cleared at frame " + std::to_string(replay.clearFrame) +
                                " instead of " + std::to_string(goalFrame)
                          : replay.message;
}

int RunSolve(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string file, keysDir;
    std::vector<int32_t> wanted;
    SolveOptions options;
    options.figures = true;
    bool table = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](double& v) {
            if (i + 1 >= args.size() || !ParseCount(args[i + 1], v)) return false;
            ++i;
            return true;
        };
        if (a == "--shots") {
            double v = 0;
            if (!value(v) || v != static_cast<int32_t>(v)) {
                err << "zrptool solve: --shots takes a whole number of shots\n";
                return kExitUsage;
            }
            options.maxShots = static_cast<int32_t>(v);
        } else if (a == "--budget") {
            if (!value(options.budgetSeconds)) {
                err << "zrptool solve: --budget takes seconds\n";
                return kExitUsage;
            }
        } else if (a == "--keys") {
            if (i + 1 >= args.size()) {
                err << "zrptool solve: --keys takes a folder\n";
                return kExitUsage;
            }
            keysDir = args[++i];
        } else if (a == "--table") {
            table = true;
        } else if (a == "--no-figures") {
            options.figures = false;
        } else if (!a.empty() && a[0] == '-') {
            err << "zrptool solve: unknown option " << a << "\n";
            return kExitUsage;
        } else if (file.empty()) {
            file = a;
        } else {
            double v = 0;
            if (!ParseCount(a, v) || v != static_cast<int32_t>(v) || v >= kStageSlots) {
                err << "zrptool solve: \"" << a << "\" is not a stage number\n";
                return kExitUsage;
            }
            wanted.push_back(static_cast<int32_t>(v));
        }
    }
    if (file.empty()) {
        err << "zrptool solve: a stage file is missing\n";
        return kExitUsage;
    }
    if (table && !options.figures) {
        err << "zrptool solve: --table shows the figures; it cannot go with --no-figures\n";
        return kExitUsage;
    }

    std::string bytes;
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream all;
        if (in) all << in.rdbuf();
        if (!in) {
            err << "zrptool solve: " << file << " cannot be read\n";
            return kExitFailed;
        }
        bytes = all.str();
    }
    // The set is read as a test play reads it, since that is how the replay plays it.
    const auto blocks = std::make_unique<GameBlockTable>();
    const auto entities = std::make_unique<GameEntityTable>();
    const StageReadResult read =
        ReadStageLines(file, SplitStageLines(bytes), *blocks, *entities, false);
    if (!read.ok) {
        err << read.error << "\n";
        return kExitFailed;
    }
    if (wanted.empty()) {
        for (int32_t s = 1; s < read.stageTotal; ++s)
            wanted.push_back(s);
    }
    for (int32_t s : wanted) {
        if (s < 1 || s >= read.stageTotal) {
            err << "zrptool solve: " << file << " has no stage " << s << "\n";
            return kExitUsage;
        }
    }
    if (!keysDir.empty()) {
        std::error_code error;
        std::filesystem::create_directories(keysDir, error);
        if (error) {
            err << "zrptool solve: cannot create " << keysDir << "\n";
            return kExitFailed;
        }
    }
    const std::string headless = HeadlessBesideThisProgram();

    bool unsolvable = false, outOfBudget = false;
    int64_t totalShots = 0;
    double totalSeconds = 0;
    if (table) out << kTableHeading;
    for (int32_t s : wanted) {
        const std::string name = "stage " + std::to_string(s);
        options.progress = [&](const std::string& line) { err << name << ": " << line << "\n"; };
        const SolveResult r = SolveStage(*blocks, *entities, s, options);
        totalShots += r.simulations;
        totalSeconds += r.seconds;
        const std::string searched = Plural(r.simulations, "shot") + " played in " +
                                     Seconds(r.seconds) + " (" + r.passes + ")";
        if (r.status == SolveStatus::Unsolvable) {
            unsolvable = true;
            std::string why =
                r.proof.empty()
                    ? "unsolvable within " + Plural(r.searchedShots, "shot") + "; " + searched
                    : "unsolvable: " + r.proof;
            out << (table ? TableRow(s, nullptr, why) : name + ": " + why + "\n");
            continue;
        }
        if (r.status == SolveStatus::OutOfBudget) {
            outOfBudget = true;
            const std::string why =
                "not solved within the budget (not proven impossible); " + searched;
            out << (table ? TableRow(s, nullptr, why) : name + ": " + why + "\n");
            continue;
        }
        const int32_t par = static_cast<int32_t>(r.shots.size());
        const std::string angles = Angles(r.shots);
        const int32_t first = StageStartFrames(entities->count[s]) + 1;
        const std::string script = KeyScriptText(
            r.keys, first,
            "# " + name + ": par " + std::to_string(par) + " of " + std::to_string(r.rest) +
                " shots, " + std::to_string(r.coins) + "/" + std::to_string(r.coinCount) +
                " coins, angles " + angles + "\n# zarp-headless --keys THIS --frames " +
                std::to_string(first + r.playFrames + 10) + " -- " + std::to_string(s) + "\n");
        const std::string trouble =
            Confirm(headless, bytes, s, first, {r.shots, r.coins, r.keys, r.playFrames}, script);
        if (!trouble.empty()) {
            unsolvable = true;
            const std::string why = "found a solution in " + Plural(par, "shot") +
                                    " but zarp-headless did not confirm it (" + trouble + ")";
            out << (table ? TableRow(s, nullptr, why) : name + ": " + why + "\n");
            continue;
        }
        // The all-coins route is played by the game too.
        if (r.allCoinsStatus == FigureStatus::Known && r.allCoins.shots != r.shots) {
            const std::string coinScript =
                KeyScriptText(r.allCoins.keys, first, "# " + name + ": every coin\n");
            const std::string coinTrouble =
                Confirm(headless, bytes, s, first, r.allCoins, coinScript);
            if (!coinTrouble.empty()) {
                unsolvable = true;
                const std::string why =
                    "found a way to take every coin but zarp-headless did not confirm it (" +
                    coinTrouble + ")";
                out << (table ? TableRow(s, nullptr, why) : name + ": " + why + "\n");
                continue;
            }
        }
        if (table) {
            out << TableRow(s, &r, "");
        } else {
            out << name << ": solved, par " << par << " of " << r.rest << " shots, coins "
                << r.coins << "/" << r.coinCount << ", angles " << angles << "; " << searched
                << "; replay cleared at frame " << first + r.playFrames - 1 << "\n";
            if (options.figures) out << "  " << FigureWords(r) << "\n";
        }
        if (!keysDir.empty()) {
            char fileName[32];
            std::snprintf(fileName, sizeof fileName, "/stage%02d.keys", s);
            std::ofstream keys(keysDir + fileName, std::ios::binary);
            keys << script;
            if (!keys.flush()) {
                err << "zrptool solve: cannot write " << keysDir << fileName << "\n";
                return kExitFailed;
            }
        }
    }
    out << "total: " << Plural(static_cast<int32_t>(wanted.size()), "stage") << ", " << totalShots
        << " shots played in " << Seconds(totalSeconds) << "\n";
    if (unsolvable) return kExitUnsolvable;
    if (outOfBudget) return kExitBudget;
    return kExitOk;
}

}  // namespace

Command SolveCommand() {
    return {
        "solve", "FILE [STAGE...]",
        "    for each playable stage (or the ones named): search shot sequences with the\n"
        "    game's own physics and report whether the goal can be reached within the\n"
        "    stage's shots, the fewest shots that do it (the par), the best coin total\n"
        "    found, and a key script for zarp-headless that plays the solution; every\n"
        "    solution is replayed through zarp-headless before it is reported. Under each\n"
        "    solved stage, its figures: the window (how many of the 180 launch directions\n"
        "    from the start begin a clearing sequence of par shots), the all-coins par (the\n"
        "    fewest shots that take every coin and touch the goal within the stage's shots,\n"
        "    or that there is none) and whether one shot at the start angle clears it\n"
        "    --shots N      search at most N shots per stage (default: the stage's rest)\n"
        "    --budget S     give up on a stage after S seconds and say so (not \"impossible\");\n"
        "                   without it the figures stop after a few million shots (\"?\")\n"
        "    --keys DIR     write one key script per solved stage (DIR/stageNN.keys)\n"
        "    --table        one line per stage instead: par, shots, window, all-coins par,\n"
        "                   coins and whether the start angle clears it\n"
        "    --no-figures   the par alone, without the figures\n"
        "    exit 0 when every stage asked for was solved, 1 when one was proven unsolvable\n"
        "    within its shots, 2 when one ran out of budget\n",
        RunSolve};
}

}  // namespace zarp::zrptool
