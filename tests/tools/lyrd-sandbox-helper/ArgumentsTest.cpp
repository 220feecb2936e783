#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Arguments.h"

namespace sandbox {
namespace {

TEST(HelperArguments, StartTakesWhatTheScriptPasses) {
    HelperCommand command;
    ASSERT_TRUE(parseHelperCommand(
            {"start", "/s", "/b", "64m", "1500", "", "/a b", "/data/x", "/c:d", "/e"}, &command));
    EXPECT_EQ(HelperCommand::Kind::kStart, command.kind);
    EXPECT_EQ("/s", command.root);
    EXPECT_EQ("64m", command.start.tree.dataSize);
    EXPECT_EQ(1500, command.start.wait.count());
    EXPECT_EQ("", command.start.tree.config);
    const std::vector<std::pair<std::string, std::string>> files = {{"/a b", "/data/x"},
                                                                    {"/c:d", "/e"}};
    EXPECT_EQ(files, command.start.tree.files);
}

// The size goes into tmpfs's mount options: nothing but a size may pass.
TEST(HelperArguments, RefusesWhatTheScriptNeverPasses) {
    const std::vector<std::vector<std::string>> refused = {
            {"start", "/s", "/b", "1G,uid=0", "10", ""},
            {"start", "/s", "/b", "1G", "10", "", "/a", "relative"},
            {"start", "/s", "/b", "1G", "10", "", "/a"},
            {"start", "/s", "/b", "1G", "1.5", ""},
            {"exec", "/s"},
            {"stop", "/s", "x"},
            {"mount", "/s"},
    };
    for (const std::vector<std::string>& args : refused) {
        HelperCommand command;
        EXPECT_FALSE(parseHelperCommand(args, &command)) << args[0] << " " << args.back();
    }
}

}  // namespace
}  // namespace sandbox
