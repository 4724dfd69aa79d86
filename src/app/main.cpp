#include <cstdio>

#include "app/arguments.h"
#include "app/command_driver.h"
#include "board/attacks.h"

int main(int argc, char** argv) {
    zelmora::initBoardTables();
    zelmora::ProgramArguments arguments = zelmora::parseArguments(argc, argv);
    zelmora::CommandDriver driver(arguments.hasPath ? arguments.path : nullptr, arguments.showHiddenOptions, stdin,
                                  stdout, stderr);
    driver.run();
    return 0;
}
