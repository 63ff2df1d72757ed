// Times the editor's check of every built-in stage (the set formed from the editor's tables,
// solved on its worker's code path, the path replayed) against the solver as zrptool solve runs
// it on the game's tables, each the best of three runs. The time compared is the processor time
// of both search threads, which other work on the machine disturbs far less than the clock on
// the wall. Usage: bench_editor_check [STAGE_FILE]
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>

#include "common/stage/Stage.h"
#include "editor/StageCheck.h"
#include "tools/zrptool/SolveSearch.h"

namespace {

double ProcessSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

template <typename Run>
double BestOfThree(Run run) {
    double best = 1e300;
    for (int i = 0; i < 3; ++i) {
        const double started = ProcessSeconds();
        run();
        best = std::min(best, ProcessSeconds() - started);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace zarp;
    std::string path = ZARP_BENCH_STAGE_FILE;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--", 0) != 0) path = arg;
    }
    const auto gameBlocks = std::make_unique<GameBlockTable>();
    const auto gameEntities = std::make_unique<GameEntityTable>();
    const StageReadResult game = ReadStageFile(path, *gameBlocks, *gameEntities, true);
    const auto blocks = std::make_unique<EditorBlockTable>();
    const auto entities = std::make_unique<EditorEntityTable>();
    ResetEditorTables(*blocks, *entities);
    const StageReadResult editor = ReadStageFile(path, *blocks, *entities);
    if (!game.ok || !editor.ok) {
        std::fprintf(stderr, "bench_editor_check: %s\n", (game.ok ? editor : game).error.c_str());
        return 1;
    }
    int over = 0;
    double zrptoolTotal = 0, editorTotal = 0;
    for (int32_t s = 1; s < editor.stageTotal; ++s) {
        zrptool::SolveOptions options;
        const double solve =
            BestOfThree([&] { (void)zrptool::SolveStage(*gameBlocks, *gameEntities, s, options); });
        const std::atomic<bool> cancel{false};
        editor::StageCheck check;
        const double checked =
            BestOfThree([&] { check = editor::CheckStage(*blocks, *entities, s, &cancel, {}); });
        const double ratio = solve > 0 ? checked / solve : 1;
        over += ratio > 1.10 ? 1 : 0;
        zrptoolTotal += solve;
        editorTotal += checked;
        std::printf(
            "stage %2d: zrptool %.3f s, editor's check %.3f s of processor time (%.2fx), par "
            "%zu%s\n",
            s, solve, checked, ratio, check.solve.shots.size(), ratio > 1.10 ? "  OVER" : "");
    }
    std::printf("all stages: zrptool %.2f s, editor's check %.2f s; %d over 1.10x (goal: none)\n",
                zrptoolTotal, editorTotal, over);
    return over == 0 ? 0 : 1;
}
