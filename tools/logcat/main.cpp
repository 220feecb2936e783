// logcat [-d] [-b BUFFER]... [-v brief|raw]
#include <iostream>
#include <string>
#include <vector>

#include "tools/logcat/LogcatTool.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    return lyrd_tools::runLogcat(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                 std::cerr);
}
