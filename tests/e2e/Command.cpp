#include "tests/e2e/Command.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <utils/UniqueFd.h>

#include <stdexcept>

extern char** environ;

namespace lyrd_e2e {
namespace {

using android::UniqueFd;

struct Pipe {
    UniqueFd read;
    UniqueFd write;
};

Pipe makePipe() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
    return Pipe{UniqueFd(fds[0]), UniqueFd(fds[1])};
}

// Spawns argv with the given ends as its standard descriptors. SIGPIPE is
// ignored in this process (a child that stops reading must not end the
// test), so the child gets it back at its default.
pid_t spawn(const std::vector<std::string>& argv, const UniqueFd& in, const UniqueFd& out,
            const UniqueFd& err) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in.get(), 0);
    posix_spawn_file_actions_adddup2(&actions, out.get(), 1);
    posix_spawn_file_actions_adddup2(&actions, err.get(), 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    int error = posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

// Moves data between this process and the child until both outputs end.
void pump(UniqueFd& toChild, const std::string& input, UniqueFd& fromOut, UniqueFd& fromErr,
          CommandResult& result) {
    size_t written = 0;
    if (input.empty()) toChild.reset();
    while (fromOut.ok() || fromErr.ok()) {
        pollfd fds[3] = {
                {toChild.get(), POLLOUT, 0}, {fromOut.get(), POLLIN, 0}, {fromErr.get(), POLLIN, 0}};
        if (poll(fds, 3, -1) < 0) {
            if (errno == EINTR) continue;
            throw std::runtime_error("poll failed");
        }
        if (fds[0].revents != 0) {
            ssize_t n = write(toChild.get(), input.data() + written, input.size() - written);
            if (n > 0) written += static_cast<size_t>(n);
            if (n < 0 || written == input.size()) toChild.reset();
        }
        UniqueFd* sources[2] = {&fromOut, &fromErr};
        std::string* sinks[2] = {&result.out, &result.err};
        for (int i = 0; i < 2; ++i) {
            if (fds[i + 1].revents == 0) continue;
            char buffer[4096];
            ssize_t n = read(sources[i]->get(), buffer, sizeof(buffer));
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                sources[i]->reset();
            }
        }
    }
}

}  // namespace

int shellStatus(int waitStatus) {
    if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
    if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
    return -1;
}

CommandResult runCommand(const std::vector<std::string>& argv, const std::string& input) {
    static const bool sigpipeIgnored = signal(SIGPIPE, SIG_IGN) != SIG_ERR;
    (void)sigpipeIgnored;

    Pipe in = makePipe();
    Pipe out = makePipe();
    Pipe err = makePipe();
    CommandResult result;
    pid_t pid = spawn(argv, in.read, out.write, err.write);
    in.read.reset();
    out.write.reset();
    err.write.reset();
    if (pid < 0) {
        result.status = 127;
        result.err = "cannot start " + argv.at(0);
        return result;
    }
    pump(in.write, input, out.read, err.read, result);
    int waitStatus = 0;
    while (waitpid(pid, &waitStatus, 0) < 0) {
        if (errno != EINTR) throw std::runtime_error("waitpid failed");
    }
    result.status = shellStatus(waitStatus);
    return result;
}

}  // namespace lyrd_e2e
