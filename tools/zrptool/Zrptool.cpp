#include <array>

#include "tools/zrptool/Command.h"

#ifndef ZARP_VERSION
#define ZARP_VERSION "unknown"
#endif

namespace zarp::zrptool {
namespace {

#define ZRPTOOL_LIST_COMMAND(function) function(),
std::vector<Command> AllCommands() {
    return {ZRPTOOL_COMMANDS(ZRPTOOL_LIST_COMMAND)};
}
#undef ZRPTOOL_LIST_COMMAND

void PrintHelp(std::ostream& out) {
    out << "Usage: zrptool COMMAND ARGUMENTS...\n"
           "       zrptool --help | --version\n"
           "Checks and tidies Zarpane stage sets (stage.dat, *.zrp).\n"
           "Exit status: 0 done, 1 a file was rejected or could not be read or written,\n"
           "2 wrong arguments.\n";
    for (const Command& command : AllCommands()) {
        out << "\nzrptool " << command.name << " " << command.synopsis << "\n" << command.help;
    }
}

}  // namespace

int ZrptoolMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << "zrptool: a command is missing; see zrptool --help\n";
        return kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h") {
        PrintHelp(out);
        return kExitOk;
    }
    if (args[0] == "--version") {
        out << "zrptool " << ZARP_VERSION << "\n";
        return kExitOk;
    }
    for (const Command& command : AllCommands()) {
        if (command.name == args[0]) {
            return command.run(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
        }
    }
    err << "zrptool: unknown command \"" << args[0] << "\"; see zrptool --help\n";
    return kExitUsage;
}

}  // namespace zarp::zrptool
