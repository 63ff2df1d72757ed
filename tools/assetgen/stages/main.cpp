// The stage generator: turns stage maps (assets/stages/*.txt) into a stage file with the shared
// writer. Usage: zarp_stagegen OUTPUT MAP... (the maps fill slots 1, 2, ... in order; slot 0
// stays empty; a set of 16 is padded to the 17 slots of the built-in set).
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/paths/AtomicFile.h"
#include "tools/assetgen/stages/StageText.h"

int main(int argc, char** argv) {
    using namespace zarp;
    if (argc < 3) {
        std::fprintf(stderr, "usage: zarp_stagegen OUTPUT MAP...\n");
        return 2;
    }
    std::vector<stagetext::StageText> stages;
    for (int i = 2; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        std::ostringstream text;
        if (in) text << in.rdbuf();
        if (!in) {
            std::fprintf(stderr, "zarp_stagegen: %s cannot be read\n", argv[i]);
            return 1;
        }
        std::string error;
        stages.emplace_back();
        if (!stagetext::ParseStageText(argv[i], text.str(), stages.back(), error)) {
            std::fprintf(stderr, "zarp_stagegen: %s\n", error.c_str());
            return 1;
        }
    }
    std::string bytes, error;
    if (!stagetext::FormatStages(stages, bytes, error) ||
        !WriteFileAtomically(argv[1], bytes, &error)) {
        std::fprintf(stderr, "zarp_stagegen: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    return 0;
}
