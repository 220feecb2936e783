// A short run of the soak benchmark: the daemon under mixed load from every
// source accounts for every name raised and keeps its descriptors and
// memory.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "tests/e2e/Sandbox.h"

namespace lyrd_e2e {
namespace {

const std::string kSoak = LYRD_SOURCE_DIR "/bench/sandbox/soak.sh";

TEST(Soak, MixedLoadLosesNoNameAndLeaksNothing) {
    if (std::string why = Sandbox::unavailableReason(); !why.empty()) GTEST_SKIP() << why;

    Result soak = run({kSoak, "--seconds", "20", "--bin", kBinDir});

    ASSERT_EQ(0, soak.status) << soak.out << soak.err;
    EXPECT_NE(std::string::npos, soak.out.find("\nlost 0 of ")) << soak.out;
    // The kernel log may be closed to writers here; the other sources must
    // all have raised names, or the run proved nothing.
    std::regex raised(
            "\nnames raised: binder [1-9][0-9]*, log buffers [1-9][0-9]*, "
            "kmsg [0-9]+, uevents [1-9][0-9]*\n");
    EXPECT_TRUE(std::regex_search(soak.out, raised)) << soak.out;
}

}  // namespace
}  // namespace lyrd_e2e
