#include <stdint.h>

#include <gtest/gtest.h>

#include "dump/DumpFolderName.h"

namespace ornak {
namespace xel {
namespace {

TEST(DumpFolderName, ReadsBackTheStampItWrites) {
    android::String8 name;
    ASSERT_TRUE(makeDumpFolderName("a_b", 1796454909, name));  // 07:15:09 UTC, 5 December 2026
    EXPECT_STREQ("a_b_20261205_071509", name.string());
    uint64_t stamp = 0;
    ASSERT_TRUE(readDumpStamp(name.string(), stamp));
    EXPECT_EQ(20261205071509u, stamp);
}

// Collection skips what has no stamp and sorts a damaged one as old.
TEST(DumpFolderName, OnlyTheTailsShapeMakesAStamp) {
    uint64_t stamp = 0;
    EXPECT_TRUE(readDumpStamp("_20261205_071509", stamp));
    EXPECT_FALSE(readDumpStamp("20261205_071509", stamp));
    EXPECT_FALSE(readDumpStamp("e-20261205_071509", stamp));
    EXPECT_FALSE(readDumpStamp("e_20261205-071509", stamp));
    EXPECT_TRUE(readDumpStamp("e_2026x205_071509", stamp));
    EXPECT_EQ(2026u, stamp);
}

}  // namespace
}  // namespace xel
}  // namespace ornak
