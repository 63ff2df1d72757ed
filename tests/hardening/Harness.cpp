#include "tests/hardening/Harness.h"

#include <algorithm>

#include "common/profile/Profile.h"
#include "game/shell/Ranking.h"
#include "tests/support/StageLayout.h"

namespace zarp::hardening {

fs::path DistDir() {
    return ZARP_HARDENING_DIST_DIR;
}

std::vector<std::string> DistFiles(const std::string& extension) {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(DistDir(), ignored)) {
        if (entry.path().extension() == "." + extension) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

fs::path ZrptoolProgram() {
    return ZARP_HARDENING_ZRPTOOL;
}

std::string BuiltInStages() {
    const fs::path built = DistDir() / "stage.dat";
    if (fs::is_regular_file(built)) return ReadBytes(built);
    // 16 playable stages: the ball on the left, one rebound block, the goal on the right.
    testing_support::StageLayout layout;
    layout.author = "BUILT IN";
    for (int stage = 1; stage <= 16; ++stage) {
        testing_support::StageLayout::Stage s;
        s.startX = 48;
        s.startY = 216;
        s.blocks = {{400, 200, 5}, {560, 208, 10}};
        s.coins = {{300, 216}};
        layout.stages.push_back(s);
    }
    return layout.Text();
}

std::string GoalBoxStages() {
    testing_support::StageLayout::Stage box;
    box.startX = 312;
    box.startY = 216;
    for (int y : {176, 208, 240}) {
        for (int x : {272, 304, 336}) {
            if (x == 304 && y == 208) continue;  // the ball's own cell
            box.blocks.push_back({x, y, 10});
        }
    }
    testing_support::StageLayout layout;
    layout.author = "HARDENING";
    layout.stages = {box};
    return layout.Text();
}

namespace {

void FixtureRanking(RankInts& score, RankInts& stage, RankNames& name) {
    for (size_t i = 0; i < 10; ++i) {
        score[i] = static_cast<int32_t>(90000 - 7000 * i);
        stage[i] = static_cast<int32_t>(16 - i);
        name[i] = "KEEP" + std::to_string(i);
    }
}

}  // namespace

std::string FixtureProfile() {
    IniFile profile;
    profile.Parse("[Editor]\r\nLeft=123\r\nTop=45\r\n[Mine]\r\nkeep=this line\r\n");
    RankInts score{}, stage{};
    RankNames name;
    FixtureRanking(score, stage, name);
    WriteRanking(profile, score, stage, name);
    return profile.Text();
}

bool HasFixtureRanking(const std::string& text) {
    IniFile profile;
    profile.Parse(text);
    RankInts score{}, stage{}, wantScore{}, wantStage{};
    RankNames name, wantName;
    ReadRanking(profile, score, stage, name);
    FixtureRanking(wantScore, wantStage, wantName);
    for (size_t i = 0; i < 10; ++i) {
        if (score[i] != wantScore[i] || stage[i] != wantStage[i] || name[i] != wantName[i]) {
            return false;
        }
    }
    return true;
}

bool HasForeignSections(const std::string& text) {
    IniFile profile;
    profile.Parse(text);
    return profile.Get("Editor", "Left") == "123" && profile.Get("Editor", "Top") == "45" &&
           profile.Get("Mine", "keep") == "this line";
}

GameFolder::GameFolder() {
    fs::create_directories(prog());
    fs::create_directories(work());
    for (const char* extension : {"wav", "mid"}) {
        for (const std::string& name : DistFiles(extension))
            fs::copy_file(DistDir() / name, prog() / name);
    }
    fs::copy_file(DistDir() / "palette.dat", work() / "palette.dat");
    WriteBytes(work() / "stage.dat", BuiltInStages());
    WriteBytes(prog() / "zarp.dat", FixtureProfile());
}

RunResult GameFolder::Play(int64_t frames, const std::string& keys,
                           const std::vector<std::string>& gameArguments,
                           const std::vector<std::string>& environment,
                           const std::vector<std::string>& prefix) const {
    testing_support::HeadlessRun run;
    run.program = program;
    run.programDir = prog();
    run.workDir = work();
    run.frames = frames;
    run.keys = keys;
    run.gameArguments = gameArguments;
    run.environment = environment;
    run.prefix = prefix;
    return testing_support::RunHeadless(run);
}

}  // namespace zarp::hardening
