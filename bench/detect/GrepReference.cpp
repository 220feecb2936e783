#include "GrepReference.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <sstream>
#include <vector>

#include <utils/UniqueFd.h>

namespace lyrd_bench {
namespace {

std::string findOnPath(const std::string& program) {
    const char* path = getenv("PATH");
    std::istringstream dirs(path != nullptr ? path : "/usr/bin:/bin");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        std::string candidate = dir + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return "";
}

// One run: its wall time, and the count grep printed (-1 on failure).
double runOnce(const std::string& grep, const std::string& keyWordFile, const std::string& textFile,
               long& count) {
    count = -1;
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return -1;
    android::UniqueFd readEnd(ends[0]), writeEnd(ends[1]);
    auto start = std::chrono::steady_clock::now();
    pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        dup2(writeEnd.get(), STDOUT_FILENO);
        setenv("LC_ALL", "C", 1);
        execl(grep.c_str(), "grep", "-F", "-c", "-f", keyWordFile.c_str(), textFile.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    writeEnd.reset();
    std::string out;
    char buffer[64];
    for (ssize_t n; (n = read(readEnd.get(), buffer, sizeof(buffer))) > 0;) out.append(buffer, n);
    int status = 0;
    waitpid(child, &status, 0);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // grep exits 1 when no line matched: still a good run.
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1 || out.empty()) return -1;
    count = strtol(out.c_str(), nullptr, 10);
    return seconds;
}

}  // namespace

GrepTiming timeGrepFixed(const std::string& keyWordFile, const std::string& textFile, int passes) {
    GrepTiming timing;
    std::string grep = findOnPath("grep");
    timing.found = !grep.empty();
    if (!timing.found) return timing;
    std::vector<double> seconds;
    for (int pass = 0; pass < passes; ++pass) {
        long count = -1;
        double taken = runOnce(grep, keyWordFile, textFile, count);
        if (taken < 0 || (pass > 0 && count != timing.matchingLines)) return timing;
        timing.matchingLines = count;
        seconds.push_back(taken);
    }
    std::sort(seconds.begin(), seconds.end());
    timing.seconds = seconds[seconds.size() / 2];
    timing.ok = true;
    return timing;
}

}  // namespace lyrd_bench
