#include "tests/common/Pipe.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace lyrd_test {

Pipe::Pipe() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return;
    readEnd.reset(fds[0]);
    writeEnd.reset(fds[1]);
}

std::string readToEnd(int fd) {
    constexpr int kWaitMs = 20000;
    std::string text;
    char buffer[4096];
    for (;;) {
        pollfd entry{fd, POLLIN, 0};
        if (poll(&entry, 1, kWaitMs) != 1) return text + "<open>";
        ssize_t got = read(fd, buffer, sizeof(buffer));
        if (got <= 0) return text;
        text.append(buffer, static_cast<size_t>(got));
    }
}

}  // namespace lyrd_test
