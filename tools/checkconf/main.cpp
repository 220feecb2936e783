// lyrd-checkconf: checks a lyrd configuration offline, with the daemon's
// own parser.
#include <iostream>

#include "Checkconf.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    int status = checkconf::run(args, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
