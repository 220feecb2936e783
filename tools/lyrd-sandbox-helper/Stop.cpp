#include "Stop.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>

#include <memory>

#include "Files.h"
#include "Namespaces.h"
#include "Processes.h"

namespace sandbox {
namespace {

using android::UniqueFd;

// Each process is checked again once its pidfd is open: its pid may have
// been reused since the scan.
std::vector<UniqueFd> signalAll(const std::string& ns, int signal) {
    std::vector<UniqueFd> signalled;
    for (pid_t pid : processesIn(ns)) {
        UniqueFd pidfd = openPidfd(pid);
        if (!pidfd.ok() || mountNamespaceOf(std::to_string(pid)) != ns) continue;
        if (signalPidfd(pidfd, signal)) signalled.push_back(std::move(pidfd));
    }
    return signalled;
}

// A namespace's name is its inode number, which the kernel gives to a new
// namespace once the old one is gone: a scan by name is sound only while
// the namespace is held open. Opened through the anchor's pid, the file is
// the anchor's only if the anchor still runs afterwards.
UniqueFd holdNamespace(const Anchor& anchor, const std::string& ns) {
    UniqueFd held(open(("/proc/" + std::to_string(anchor.pid) + "/ns/mnt").c_str(),
                       O_RDONLY | O_CLOEXEC));
    pollfd ended = {anchor.pidfd.get(), POLLIN, 0};
    if (!held.ok() || poll(&ended, 1, 0) != 0 ||
        readLink("/proc/self/fd/" + std::to_string(held.get())) != ns) {
        return UniqueFd();
    }
    return held;
}

std::string listOf(const std::vector<pid_t>& pids) {
    std::string list;
    for (pid_t pid : pids) list += (list.empty() ? "" : " ") + std::to_string(pid);
    return list;
}

}  // namespace

std::vector<pid_t> processesIn(const std::string& ns) {
    std::vector<pid_t> found;
    // An unreadable namespace reads as empty; the caller's own holds the
    // caller and everything else on the host.
    if (ns.empty() || ns == mountNamespaceOf("self")) return found;
    std::unique_ptr<DIR, int (*)(DIR*)> proc(opendir("/proc"), closedir);
    if (proc == nullptr) return found;
    while (dirent* entry = readdir(proc.get())) {
        pid_t pid = parsePid(entry->d_name);
        if (pid > 0 && mountNamespaceOf(entry->d_name) == ns) found.push_back(pid);
    }
    return found;
}

bool endProcessesIn(const std::string& ns, const StopTimes& times, std::string* error) {
    std::vector<UniqueFd> terminated = signalAll(ns, SIGTERM);
    waitForEnd(&terminated, Clock::now() + times.grace);
    // A killed process forks no more, but one may have forked between the
    // scan and its signal: each round ends those the previous one missed.
    const Clock::time_point deadline = Clock::now() + times.killWait;
    for (;;) {
        std::vector<UniqueFd> killed = signalAll(ns, SIGKILL);
        if (killed.empty() || !waitForEnd(&killed, deadline) || Clock::now() >= deadline) break;
    }
    // Also those no signal could reach.
    const std::vector<pid_t> left = processesIn(ns);
    *error = listOf(left);
    return left.empty();
}

bool stopSandbox(const SandboxDir& dir, std::string* error, const StopTimes& times) {
    const std::string ns = dir.savedNamespace();
    // A miss means the anchor ended meanwhile; there are two of them.
    for (int tries = 0; tries < 3; ++tries) {
        const Anchor anchor = dir.anchor();
        if (!anchor.ok()) break;
        const UniqueFd held = holdNamespace(anchor, ns);
        if (!held.ok()) continue;
        std::string left;
        if (!endProcessesIn(ns, times, &left)) {
            *error = "processes of the sandbox in " + dir.path() + " will not end: " + left;
            return false;
        }
        break;
    }
    if (dir.anchor().ok()) {
        *error = "the sandbox in " + dir.path() + " is still running";
        return false;
    }
    dir.forget();
    return true;
}

}  // namespace sandbox
