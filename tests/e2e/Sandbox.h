// A lyrd sandbox for end-to-end tests: a fresh temporary folder, the
// tools/lyrd-sandbox script run on it, and reading of the daemon's log.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/common/TempDir.h"
#include "tests/e2e/Command.h"

namespace lyrd_e2e {

// One line of lyrd.log in the form "P/TAG(PID): MESSAGE". The message is
// kept as written, so a line feed in it reads as backslash and n.
struct SandboxLogRecord {
    char priority;
    std::string tag;
    int pid;
    std::string message;
};

// The records of a log text in order; lines of any other form (the output of
// a handler command, a sanitizer report) are left out.
std::vector<SandboxLogRecord> parseSandboxLog(const std::string& text);

std::string sandboxScript();
std::string buildBinDir();

struct SandboxOptions {
    std::string dataSize;  // empty: the script's default
    // Files copied into the tree: (absolute path inside, content).
    std::vector<std::pair<std::string, std::string>> files;
    std::string binDir;  // empty: the build's bin folder
    std::string waitSeconds = "20";
};

class Sandbox {
  public:
    static constexpr std::chrono::seconds kDefaultDeadline{30};

    // Empty when sandboxes can run here, otherwise why not.
    static std::string unavailableReason();

    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    // Starts lyrd with config as its configuration file (none at all when
    // config is empty). Fails with the script's output unless it exits 0.
    ::testing::AssertionResult start(const std::optional<std::string>& config,
                                     const SandboxOptions& options = {});
    // The script's exit status and output, for starts expected to fail.
    CommandResult startCommand(const std::optional<std::string>& config,
                               const SandboxOptions& options = {});
    CommandResult exec(const std::vector<std::string>& args, const std::string& input = "") const;
    CommandResult stop();

    // The folder the script works in (it holds a blank, on purpose).
    const std::string& dir() const { return mDir; }
    // lyrd's pid as written at start, -1 when there is none.
    int pid() const;
    bool daemonRunning() const;

    std::string logText() const;
    std::vector<SandboxLogRecord> records() const;
    std::vector<std::string> messages(const std::string& tag = "LyrDebugService") const;
    bool waitForMessage(const std::string& message,
                        std::chrono::milliseconds deadline = kDefaultDeadline,
                        const std::string& tag = "LyrDebugService") const;
    // Waits for a path to exist inside the tree.
    bool waitForFile(const std::string& path,
                     std::chrono::milliseconds deadline = kDefaultDeadline) const;

  private:
    lyrd_test::TempDir mTemp;
    std::string mDir;
    int mFileCount = 0;
    bool mStarted = false;
};

// True when the process runs and is not a zombie.
bool processAlive(int pid);

// Skips the test unless sandboxes can run here.
#define LYRD_REQUIRE_SANDBOX()                                                    \
    do {                                                                          \
        std::string reason_ = ::lyrd_e2e::Sandbox::unavailableReason();           \
        if (!reason_.empty()) GTEST_SKIP() << "sandbox unavailable: " << reason_; \
    } while (0)

}  // namespace lyrd_e2e
