// The real programs run in the sandbox of tools/lyrd-sandbox, driven only
// through the script, the tools inside and the daemon's log file.
#pragma once

#include <gtest/gtest.h>

#include <stdlib.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/common/Eventually.h"
#include "tests/common/TempDir.h"

namespace lyrd_e2e {

inline const std::string kScript = LYRD_SOURCE_DIR "/tools/lyrd-sandbox";
inline const std::string kBinDir = LYRD_BIN_DIR;

struct Result {
    int status = -1;  // exit status, 128 + signal; 127 when it could not start
    std::string out, err;
};

// Runs argv (looked up in PATH) to its end, input on its standard input.
Result run(const std::vector<std::string>& argv, const std::string& input = "");
bool alive(int pid);
using lyrd_test::eventually;

struct Options {
    std::string dataSize;                                    // empty: the default
    std::vector<std::pair<std::string, std::string>> files;  // (path inside, content)
};

class Sandbox {
  public:
    static std::string unavailableReason();  // why sandboxes cannot run here, or empty
    Sandbox() : mDir(mTemp.file("sand box")) {}
    // A sanitizer report in the daemon's log fails the test that ran it.
    ~Sandbox() {
        stop();
        EXPECT_EQ(std::string::npos, log().find("Sanitizer")) << log();
    }

    // Starts lyrd with config as its configuration (none when nullopt);
    // what start printed is kept in startOutput().
    ::testing::AssertionResult start(const std::optional<std::string>& config,
                                     const Options& options = {});
    const std::string& startOutput() const { return mStartOutput; }
    Result exec(const std::vector<std::string>& args, const std::string& input = "") const;
    Result stop() const { return run({kScript, "stop", "--root", mDir}); }
    std::string send(const std::string& name) const { return exec({"lyrdctl", "send", name}).out; }

    const std::string& dir() const { return mDir; }  // holds a blank, on purpose
    int pid() const { return atoi(lyrd_test::readFile(mDir + "/lyrd.pid").c_str()); }
    std::string log() const { return lyrd_test::readFile(mDir + "/lyrd.log"); }
    // Messages of tag's records in lyrd.log, in order, that begin with prefix;
    // waitFor waits until there are count of them.
    std::vector<std::string> messages(const std::string& prefix = "",
                                      const std::string& tag = "LyrDebugService") const;
    bool waitFor(const std::string& prefix, size_t count = 1,
                 const std::string& tag = "LyrDebugService") const;

  private:
    lyrd_test::TempDir mTemp;
    std::string mDir;
    std::string mStartOutput;
};

// A test with its own sandbox, skipped where sandboxes cannot run.
template <typename Base = ::testing::Test>
class SandboxTest : public Base {
  protected:
    void SetUp() override {
        if (std::string why = Sandbox::unavailableReason(); !why.empty()) GTEST_SKIP() << why;
    }
    Sandbox sandbox;
};

}  // namespace lyrd_e2e
