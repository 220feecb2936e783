#include "tests/e2e/Sandbox.h"

#include <errno.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <thread>

extern char** environ;

namespace lyrd_e2e {

// The standard streams are files rather than pipes, so a program that leaves
// a process behind holding them never hangs the test. A shell sets them up.
Result run(const std::vector<std::string>& argv, const std::string& input) {
    lyrd_test::TempDir io;
    std::vector<std::string> full = {"sh", "-c", "exec \"$@\" <\"$0\" >\"$0.out\" 2>\"$0.err\"",
                                     io.write("in", input)};
    full.insert(full.end(), argv.begin(), argv.end());
    std::vector<char*> args;
    for (std::string& arg : full) args.push_back(arg.data());
    args.push_back(nullptr);
    pid_t pid = -1;
    int status = 0;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, args.data(), environ) != 0) return {};
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
            lyrd_test::readFile(io.file("in.out")), lyrd_test::readFile(io.file("in.err"))};
}

bool alive(int pid) {
    std::string stat = lyrd_test::readFile("/proc/" + std::to_string(pid) + "/stat");
    size_t state = stat.rfind(") ") + 2;
    return pid > 0 && state < stat.size() && stat[state] != 'Z' && stat[state] != 'X';
}

// What the script needs: private mount and network namespaces, made as root
// or in an unprivileged user namespace.
std::string Sandbox::unavailableReason() {
    static const std::string reason = [] {
        std::vector<std::string> probe = {"unshare", "--mount", "--net", "true"};
        if (geteuid() != 0) probe.insert(probe.begin() + 1, {"--user", "--map-root-user"});
        Result result = run(probe);
        return result.status == 0 ? "" : "sandbox unavailable, no namespaces: " + result.err;
    }();
    return reason;
}

::testing::AssertionResult Sandbox::start(const std::optional<std::string>& config,
                                          const Options& options) {
    std::vector<std::string> argv = {kScript, "start", "--root", mDir,
                                     "--bin", kBinDir, "--wait", "60"};
    if (config) argv.insert(argv.end(), {"--config", mTemp.write("lyrdebug.conf", *config)});
    if (!options.dataSize.empty()) argv.insert(argv.end(), {"--data-size", options.dataSize});
    for (size_t i = 0; i < options.files.size(); ++i) {
        std::string src = mTemp.write("files/" + std::to_string(i), options.files[i].second);
        argv.insert(argv.end(), {"--file", src + ":" + options.files[i].first});
    }
    // The script warns, and still succeeds, when the daemon is up but slow.
    Result result = run(argv);
    mStartOutput = result.out;
    if (result.status == 0 && result.err.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "start: status " << result.status << "\n"
                                         << result.err << "lyrd.log:\n"
                                         << log();
}

Result Sandbox::exec(const std::vector<std::string>& args, const std::string& input) const {
    std::vector<std::string> argv = {kScript, "exec", "--root", mDir, "--"};
    argv.insert(argv.end(), args.begin(), args.end());
    return run(argv, input);
}

// Records are "P/TAG(PID): MESSAGE" lines; a last line still being written
// is left for the next read.
std::vector<std::string> Sandbox::messages(const std::string& prefix, const std::string& tag) const {
    std::vector<std::string> found;
    std::istringstream lines(log());
    const std::string head = "/" + tag + "(";
    for (std::string line; std::getline(lines, line) && !lines.eof();) {
        size_t end = line.find("): ");
        if (line.empty() || line.compare(1, head.size(), head) != 0 || end == std::string::npos ||
            line.find_first_not_of("0123456789", head.size() + 1) != end) {
            continue;
        }
        if (line.compare(end + 3, prefix.size(), prefix) == 0)
            found.push_back(line.substr(end + 3));
    }
    return found;
}

bool Sandbox::waitFor(const std::string& prefix, size_t count, const std::string& tag) const {
    return eventually([&] { return messages(prefix, tag).size() >= count; });
}

}  // namespace lyrd_e2e
