#include "tests/scenes/Fixture.h"

namespace zarp::test {

namespace fs = std::filesystem;

Fixture::Fixture() {
    testing_support::WriteBytes(dir() / "palette.dat", testing_support::FixturePaletteBytes());
    testing_support::WriteEffects(dir());
    testing_support::WriteMusic(dir());
}

void Fixture::Write(const std::string& name, const std::string& text) const {
    testing_support::WriteBytes(dir() / name, text);
}

void Fixture::WriteStages(const std::string& name, const StageLayout& layout) const {
    Write(name, layout.Text());
}

RunResult Fixture::Run(int64_t frames, const std::string& keys,
                       const std::vector<std::string>& shots,
                       const std::vector<std::string>& gameArguments) const {
    testing_support::HeadlessRun run;
    run.programDir = dir();
    run.workDir = dir();
    run.frames = frames;
    run.keys = keys;
    for (const std::string& shot : shots)
        run.options.insert(run.options.end(), {"--shot", shot});
    run.gameArguments = gameArguments;
    return testing_support::RunHeadless(run);
}

std::string KeyScript(const std::string& name) {
    return testing_support::ReadBytes(SourceDir() / "keys" / name);
}

fs::path SourceDir() {
    return ZARP_SCENE_TESTS_DIR;
}
fs::path ExamplesDir() {
    return ZARP_EXAMPLES_DIR;
}

}  // namespace zarp::test
