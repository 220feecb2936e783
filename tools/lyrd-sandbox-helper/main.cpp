// lyrd-sandbox-helper: makes, enters and ends the sandboxes of
// tools/lyrd-sandbox.
#include <fcntl.h>

#include <iostream>

#include <utils/UniqueFd.h>

#include "Helper.h"

int main(int argc, char** argv) {
    // With a standard stream closed, the next descriptor opened would pass
    // for it in the processes the helper starts.
    for (;;) {
        android::UniqueFd fd(open("/dev/null", O_RDWR));
        if (!fd.ok() || fd.get() > 2) break;
        (void)fd.release();
    }
    std::vector<std::string> args(argv + 1, argv + argc);
    int status = sandbox::run(args, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
