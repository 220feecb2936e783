// The lyrd process: creates the one service, which runs the whole start-up,
// and then serves for the life of the process.
#include <unistd.h>

#include "service/LyrDebugService.h"

int main(int /*argc*/, char** /*argv*/) {
    // Owned by nobody: the service lives until the process ends.
    new ornak::xel::LyrDebugService();
    for (;;) pause();
    return 0;
}
