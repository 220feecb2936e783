// lyrdctl: sends events, raw transactions and dump requests to the lyrd
// service, and uevents to the kernel's uevent group.
#include <unistd.h>

#include <iostream>

#include "Lyrdctl.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    int status = lyrdctl::run(args, std::cout, STDOUT_FILENO, std::cerr);
    std::cout.flush();
    return status;
}
