// qmxtool: inspects modules and games from the command line.
#include <iostream>
#include <string>
#include <vector>

#include "tools/qmxtool/Commands.h"

int main(int argc, char** argv) {
    qmx::tool::CommandTable table;
    qmx::tool::registerAllCommands(table);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return qmx::tool::runTool(table, args, {std::cin, std::cout, std::cerr});
}
