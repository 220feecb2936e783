// log [-b BUFFER] [-p PRIORITY] [-t TAG] MESSAGE...
#include <iostream>
#include <string>
#include <vector>

#include "tools/log/LogTool.h"

int main(int argc, char** argv) {
    return lyrd_tools::runLog(std::vector<std::string>(argv + 1, argv + argc), std::cerr);
}
