// lyrdctl: sends events and raw transactions to the lyrd service, and
// uevents to the kernel's uevent group.
#include <iostream>

#include "Lyrdctl.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    int status = lyrdctl::run(args, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
