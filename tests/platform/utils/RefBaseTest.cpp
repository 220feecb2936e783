#include <utils/RefBase.h>

#include <gtest/gtest.h>

namespace {

class Counted : public virtual android::RefBase {
  public:
    explicit Counted(int* destroyed) : mDestroyed(destroyed) {}
    ~Counted() override { ++*mDestroyed; }

  private:
    int* mDestroyed;
};

TEST(RefBase, LastStrongReferenceDestroys) {
    int destroyed = 0;
    android::sp<Counted> first = new Counted(&destroyed);
    {
        android::sp<Counted> second = first;
        EXPECT_EQ(2, first->getStrongCount());
    }
    EXPECT_EQ(0, destroyed);
    first.clear();
    EXPECT_EQ(1, destroyed);
}

TEST(RefBase, NullAndReassignmentAreSafe) {
    int destroyed = 0;
    android::sp<Counted> ref;
    EXPECT_EQ(nullptr, ref);
    ref = new Counted(&destroyed);
    ref = ref;  // self-assignment keeps the object
    EXPECT_EQ(0, destroyed);
    ref = nullptr;
    EXPECT_EQ(1, destroyed);
}

}  // namespace
