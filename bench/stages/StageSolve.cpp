// Solves every built-in stage with the game's physics on both cores, with the figures that
// zrptool solve prints (window, all-coins par), and prints each stage's time and the total. Usage:
// bench_stage_solve [STAGE_FILE] (options of other benchmarks, such as --benchmark_min_time, are
// ignored).
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "common/stage/Stage.h"
#include "tools/zrptool/SolveSearch.h"

int main(int argc, char** argv) {
    using namespace zarp;
    std::string path = ZARP_BENCH_STAGE_FILE;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--", 0) != 0) path = arg;
    }
    const auto blocks = std::make_unique<GameBlockTable>();
    const auto entities = std::make_unique<GameEntityTable>();
    const StageReadResult read = ReadStageFile(path, *blocks, *entities, true);
    if (!read.ok) {
        std::fprintf(stderr, "bench_stage_solve: %s\n", read.error.c_str());
        return 1;
    }
    zrptool::SolveOptions options;
    options.threads = 2;
    options.figures = true;
    const auto started = std::chrono::steady_clock::now();
    int64_t shots = 0;
    int solved = 0;
    for (int32_t s = 1; s < read.stageTotal; ++s) {
        const zrptool::SolveResult r = zrptool::SolveStage(*blocks, *entities, s, options);
        shots += r.simulations;
        const bool ok = r.status == zrptool::SolveStatus::Solved;
        solved += ok ? 1 : 0;
        const bool figures = r.windowStatus == zrptool::FigureStatus::Known &&
                             r.allCoinsStatus == zrptool::FigureStatus::Known;
        solved -= ok && !figures ? 1 : 0;
        std::printf(
            "stage %2d: %s par %zu of %d, window %d, all %d coins in %zu, %lld shots, %.2f s\n", s,
            !ok       ? "NOT SOLVED,"
            : figures ? "solved,"
                      : "FIGURES MISSING,",
            r.shots.size(), r.rest, r.window, r.coinCount, r.allCoins.shots.size(),
            static_cast<long long>(r.simulations), r.seconds);
    }
    const double total =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("all %d stages: %d solved, %lld shots played in %.2f s (goal: under 60 s)\n",
                read.stageTotal - 1, solved, static_cast<long long>(shots), total);
    return solved == read.stageTotal - 1 ? 0 : 1;
}
