// zrptool normalize: reads a set as the editor reads it and writes it with the editor's writer.
#include <memory>

#include "common/stage/Stage.h"
#include "tools/zrptool/Command.h"

namespace zarp::zrptool {
namespace {

int RunNormalize(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        err << "zrptool normalize: usage: zrptool normalize IN OUT\n";
        return kExitUsage;
    }
    const std::string& in = args[0];
    const std::string& outPath = args[1];
    const auto blocks = std::make_unique<EditorBlockTable>();
    const auto entities = std::make_unique<EditorEntityTable>();
    const StageReadResult read = ReadStageFile(in, *blocks, *entities);
    if (!read.ok) {
        err << read.error << "\n";
        return kExitFailed;
    }
    for (const std::string& warning : read.warnings)
        out << "warning: " << warning << "\n";
    // No stage is being edited, so the writer's warnings change no counts.
    const StageWriteResult written =
        WriteStageFile(outPath, *blocks, *entities, read.stageTotal, read.author, -1);
    for (const StageWarning& warning : written.warnings) {
        out << "warning: " << outPath << ": " << warning.text << "\n";
    }
    if (!written.ok) {
        err << written.error << "\n";
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace

Command NormalizeCommand() {
    return {"normalize", "IN OUT",
            "    Reads IN as the editor reads it (a stage without entries gets the start\n"
            "    (32, 32), angle 0 and 5 shots) and writes OUT with the editor's writer: erased\n"
            "    entries left out, slot 0 empty, CR LF line ends, written to a temporary file\n"
            "    and renamed over OUT (IN and OUT may be the same file). Prints\n"
            "      warning: FILE: TEXT\n"
            "    for records the editor's tables cannot hold and for stages beyond the game's\n"
            "    limits (the editor's own messages). Exit 0 when OUT was written, else 1.\n",
            RunNormalize};
}

}  // namespace zarp::zrptool
