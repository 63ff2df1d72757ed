// The commands of zrptool. Adding one: a new file defining `Command XxxCommand()`, and one line
// in ZRPTOOL_COMMANDS below.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace zarp::zrptool {

// Runs a command with the arguments after its name; returns the exit status.
using CommandFunction = int (*)(const std::vector<std::string>& args, std::ostream& out,
                                std::ostream& err);

struct Command {
    std::string_view name;      // as typed: "check"
    std::string_view synopsis;  // arguments for the usage line: "FILE..."
    std::string_view help;      // what --help prints below the usage line, lines indented
    CommandFunction run = nullptr;
};

// Exit statuses shared by the commands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // a file rejected, unreadable or unwritable
inline constexpr int kExitUsage = 2;   // wrong arguments

// Every command, one line each, in the order --help lists them.
#define ZRPTOOL_COMMANDS(X) \
    X(CheckCommand)         \
    X(NormalizeCommand)     \
    X(RenderCommand)        \
    X(SolveCommand)

#define ZRPTOOL_DECLARE_COMMAND(function) Command function();
ZRPTOOL_COMMANDS(ZRPTOOL_DECLARE_COMMAND)
#undef ZRPTOOL_DECLARE_COMMAND

// The whole tool: `args` are the arguments after the program name.
int ZrptoolMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zarp::zrptool
