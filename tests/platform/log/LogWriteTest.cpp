// Writing records: __android_log_print, and the `log` and `logcat` tools run
// in process.
#include <android/log.h>
#include <sys/mman.h>
#include <unistd.h>

#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/platform/log/LogBufferFixture.h"
#include "tools/log/LogTool.h"
#include "tools/logcat/LogcatTool.h"

namespace lyrd_test {

static const std::string kPid = std::to_string(getpid());

// Runs fn with standard error sent to a memory file; gives what was written there.
static std::string stderrOf(const std::function<void()>& fn) {
    android::UniqueFd file(memfd_create("stderr", MFD_CLOEXEC)), saved(fcntl(2, F_DUPFD_CLOEXEC, 3));
    fcntl(file.get(), F_SETFL, O_APPEND);  // so that concurrent writes never overwrite each other
    dup2(file.get(), STDERR_FILENO);
    fn();
    dup2(saved.get(), STDERR_FILENO);
    return readFile("/proc/self/fd/" + std::to_string(file.get()));
}

static void printMany() {
    for (int i = 0; i < 200; ++i)
        __android_log_print(ANDROID_LOG_WARN, "LyrDebugService", "%dMB\n ", 12);
}

TEST_F(LogBufferTest, PrintWritesWholeBriefLinesAndAppendsToAnExistingMainBufferOnly) {
    ASSERT_EQ(0, unlink(mDir.file("main").c_str()));
    std::string err = stderrOf([&] {
        __android_log_print(ANDROID_LOG_INFO, "T", "lost");
        EXPECT_NE(0, access(mDir.file("main").c_str(), F_OK)) << "never created";
        mDir.write("main", "");
        std::thread a(printMany), b(printMany), c(printMany);
        printMany();
        a.join(), b.join(), c.join();
    });
    std::string expected = "I/T(" + kPid + "): lost\n";
    for (int i = 0; i < 800; ++i) expected += "W/LyrDebugService(" + kPid + "): 12MB\\n \n";
    EXPECT_EQ(expected, err);
    EXPECT_EQ(Messages(800, "12MB\n "), readAll(openList({LOG_ID_MAIN}).get()));
}

// Runs `log` or `logcat` in process: "STATUS|OUT|ERR".
static std::string run(const std::vector<std::string>& cmd) {
    std::vector<std::string> args(cmd.begin() + 1, cmd.end());
    std::ostringstream out, err;
    int status =
            cmd[0] == "log" ? lyrd_tools::runLog(args, err) : lyrd_tools::runLogcat(args, out, err);
    return std::to_string(status) + "|" + out.str() + "|" + err.str();
}

TEST_F(LogBufferTest, ToolsWriteAndDumpTheBuffers) {
    ASSERT_EQ(0, unlink(mDir.file("events").c_str()));
    const std::string usage = "\nusage: log [-b BUFFER] [-p PRIORITY] [-t TAG] MESSAGE...\n";
    const std::string missing = mDir.file("events") + ": No such file or directory\n";
    const std::pair<std::vector<std::string>, std::string> script[] = {
            {{"log", "first", "", "-p"}, "0||"},
            {{"log", "-b", "system", "-p", "w", "-t", "Sys", "second"}, "0||"},
            {{"log", "-b/dev/log/radio", "-p2", "-tR", "third"}, "0||"},
            {{"log", "-t", "T", "-p", "F", "--", "-p", "a\nb\\n"}, "0||"},
            {{"logcat", "-d"},
             "0|I/log(" + kPid + "): first  -p\nW/Sys(" + kPid + "): second\nF/T(" + kPid +
                     "): -p a\\nb\\n\n|"},
            {{"logcat", "-d", "-b", "radio,main", "-vraw"}, "0|first  -p\nthird\n-p a\nb\\n\n|"},
            {{"log", "-b", "events", "m"}, "1||log: cannot write to " + missing},
            {{"logcat", "-d", "-b", "main", "-b", "events"},
             "1||logcat: cannot open log buffer " + missing},
            {{"log", "-p", "8", "m"}, "2||log: unknown priority: 8" + usage},
            {{"log", "-t"}, "2||log: option -t needs a value" + usage},
            {{"logcat", "-b", "main,,radio"},
             "2||logcat: unknown buffer: \nusage: logcat [-d] [-b BUFFER]... [-v brief|raw]\n"},
    };
    for (const auto& [args, expected] : script) EXPECT_EQ(expected, run(args)) << args.back();
}

}  // namespace lyrd_test
