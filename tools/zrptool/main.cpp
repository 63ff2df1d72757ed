#include <iostream>

#include "tools/zrptool/Command.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const int status = zarp::zrptool::ZrptoolMain(args, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
