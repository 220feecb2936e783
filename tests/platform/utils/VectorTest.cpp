#include <utils/String8.h>
#include <utils/Vector.h>

#include <gtest/gtest.h>

using android::String8;
using android::Vector;

namespace {

struct Record {
    String8 name;
    Vector<String8> words;
};

TEST(Vector, AppendsInOrderAndGrowsByDefaultElements) {
    Vector<int> numbers;
    EXPECT_EQ(0, numbers.add(4));
    EXPECT_EQ(1, numbers.add());
    numbers.editItemAt(1) = 9;
    ASSERT_EQ(2u, numbers.size());
    EXPECT_EQ(4, numbers[0]);
    EXPECT_EQ(9, numbers.itemAt(1));
}

TEST(Vector, CopiesOfNestedRecordsAreIndependent) {
    Vector<Record> original;
    original.add();
    original.editItemAt(0).name = "ev";
    original.editItemAt(0).words.add(String8("one"));

    Vector<Record> copy = original;
    copy.editItemAt(0).words.add(String8("two"));
    original.editItemAt(0).name = "changed";

    EXPECT_EQ(1u, original[0].words.size());
    EXPECT_EQ(2u, copy[0].words.size());
    EXPECT_STREQ("ev", copy[0].name.string());
}

}  // namespace
