#include "Inside.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <utils/UniqueFd.h>

#include "Namespaces.h"
#include "Processes.h"

namespace sandbox {
namespace {

using android::UniqueFd;

UniqueFd openOutput(const std::string& path, int mode) {
    return UniqueFd(open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | mode, 0644));
}

[[noreturn]] void runDaemon(const SandboxDir& dir, const Anchor& anchor, const UniqueFd& out,
                            const UniqueFd& log, const UniqueFd& null) {
    setsid();
    std::string error;
    if (dup2(log.get(), 2) < 0) _exit(127);
    if (!enterSandbox(anchor.pidfd, anchor.pid, dir.root(), &error)) {
        fprintf(stderr, "lyrd-sandbox: %s\n", error.c_str());
        _exit(127);
    }
    if (dup2(null.get(), 0) < 0 || dup2(out.get(), 1) < 0) _exit(127);
    closeDescriptorsFrom(3);
    execInside({"lyrd"});
}

}  // namespace

pid_t startDaemon(const SandboxDir& dir, const Anchor& anchor, std::string* error) {
    // Emptied here rather than in the child, so that what start reports
    // never comes from the log of an earlier run.
    UniqueFd out = openOutput(dir.file("lyrd.out"), O_TRUNC | O_APPEND);
    UniqueFd log = openOutput(dir.file("lyrd.log"), O_TRUNC | O_APPEND);
    UniqueFd null(open("/dev/null", O_RDONLY | O_CLOEXEC));
    if (!out.ok() || !log.ok() || !null.ok()) {
        *error = "cannot open lyrd.out, lyrd.log or /dev/null: " + std::string(strerror(errno));
        return -1;
    }
    pid_t child = fork();
    if (child == 0) runDaemon(dir, anchor, out, log, null);
    if (child < 0) *error = "cannot start lyrd: " + std::string(strerror(errno));
    return child;
}

void execInside(const std::vector<std::string>& command) {
    std::vector<char*> argv;
    for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    clearenv();
    setenv("PATH", kSandboxPath, 1);
    execvp(argv[0], argv.data());
    const int error = errno;
    fprintf(stderr, "lyrd-sandbox: cannot run %s: %s\n", argv[0], strerror(error));
    _exit(error == ENOENT ? 127 : 126);
}

int runExec(const SandboxDir& dir, const std::vector<std::string>& command, std::ostream& err) {
    Anchor anchor = dir.anchor();
    std::string error;
    if (!anchor.ok()) {
        err << "lyrd-sandbox: no sandbox is running in " << dir.path() << "\n";
        return 125;
    }
    if (!enterSandbox(anchor.pidfd, anchor.pid, dir.root(), &error)) {
        err << "lyrd-sandbox: " << error << "\n";
        return 125;
    }
    err.flush();
    execInside(command);
}

}  // namespace sandbox
