// Descriptors in a parcel, across the host transport, and the dump
// transaction that hands one to a service.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/common/Pipe.h"
#include "tests/platform/binder/BinderTestSupport.h"

namespace android {
namespace {

using lyrd_test::Pipe;
using lyrd_test::readToEnd;
using namespace std::string_literals;

bool isOpen(int fd) {
    return fcntl(fd, F_GETFD) != -1;
}

bool sameFile(int a, int b) {
    struct stat first = {}, second = {};
    return fstat(a, &first) == 0 && fstat(b, &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

TEST(Parcel, DescriptorsHaveTheWireLayoutAndOnlyOwnedOnesCloseWithTheParcel) {
    Pipe pipe;
    int copy = -1, owned = -1;
    Parcel parcel;
    parcel.writeInt32(7);
    EXPECT_EQ(NO_ERROR, parcel.writeFileDescriptor(pipe.readEnd.get()));
    EXPECT_EQ(NO_ERROR, parcel.writeDupFileDescriptor(pipe.writeEnd.get()));
    EXPECT_EQ(NO_ERROR, parcel.writeFileDescriptor(dup(pipe.readEnd.get()), true));
    EXPECT_EQ("\7\0\0\0"s + "HBFD\0\0\0\0"s + "HBFD\1\0\0\0"s + "HBFD\2\0\0\0"s,
              std::string(reinterpret_cast<const char*>(parcel.data()), parcel.dataSize()));

    parcel.setDataPosition(0);
    EXPECT_EQ(BAD_TYPE, parcel.readFileDescriptor()) << "an Int32 is no descriptor";
    EXPECT_EQ(7, parcel.readInt32()) << "a failed read does not move";
    EXPECT_EQ(pipe.readEnd.get(), parcel.readFileDescriptor()) << "lent as it is";
    copy = parcel.readFileDescriptor();
    EXPECT_TRUE(copy >= 0 && copy != pipe.writeEnd.get() && sameFile(copy, pipe.writeEnd.get()));
    EXPECT_TRUE(fcntl(copy, F_GETFD) & FD_CLOEXEC);
    owned = parcel.readFileDescriptor();
    EXPECT_TRUE(sameFile(owned, pipe.readEnd.get()));
    EXPECT_EQ(BAD_TYPE, parcel.readFileDescriptor()) << "past the end";

    // New data drops the descriptors: index 0 no longer refers to one.
    const std::string marker = "HBFD\0\0\0\0"s;
    parcel.setData(reinterpret_cast<const uint8_t*>(marker.data()), marker.size());
    EXPECT_EQ(BAD_TYPE, parcel.readFileDescriptor());
    EXPECT_FALSE(isOpen(copy));
    EXPECT_FALSE(isOpen(owned));
    EXPECT_TRUE(isOpen(pipe.readEnd.get()) && isOpen(pipe.writeEnd.get()));
}

TEST_F(BinderTest, DescriptorsTravelWithTheirRequestAndTheServiceKeepsNone) {
    for (const sp<IBinder>& binder : {sp<IBinder>(mService), mProxy}) {
        Pipe first, second;
        Parcel data, reply;
        data.writeFileDescriptor(first.writeEnd.get());
        data.writeString16(String16("one"));
        data.writeFileDescriptor(second.writeEnd.get());
        data.writeString16(String16("two"));
        EXPECT_EQ(NO_ERROR, binder->transact(ITest::WRITE, data, &reply));
        EXPECT_EQ(2, reply.readInt32());
        EXPECT_EQ(2, reply.readInt32()) << "close-on-exec";
        // A one-way call's descriptor still arrives; so does the next call's.
        EXPECT_EQ(NO_ERROR, binder->transact(ITest::WRITE, data, nullptr, IBinder::FLAG_ONEWAY));
        EXPECT_EQ("0 0 1", echo("")) << "served after the one-way call";
        first.writeEnd.reset();
        second.writeEnd.reset();
        EXPECT_EQ("oneone", readToEnd(first.readEnd.get()));
        EXPECT_EQ("twotwo", readToEnd(second.readEnd.get()));
        mService->mEchoes = 0;
    }

    Pipe pipe;
    Parcel data, reply;
    for (size_t i = 0; i <= host::kMaxFrameFds; ++i) data.writeFileDescriptor(pipe.writeEnd.get());
    EXPECT_EQ(FAILED_TRANSACTION, mProxy->transact(ITest::WRITE, data, &reply));
}

TEST_F(BinderTest, ADumpWritesToTheCallersDescriptorWhichStaysOpenAndTheCallersOwn) {
    Pipe pipe;
    Vector<String16> args;
    args.add(String16("--state"));
    args.add(String16("b"));
    EXPECT_EQ(NO_ERROR, mProxy->dump(pipe.writeEnd.get(), args));
    EXPECT_TRUE(TestService::writeAll(pipe.writeEnd.get(), "!")) << "still the caller's";

    Parcel data, reply;  // fewer arguments than counted
    data.writeFileDescriptor(pipe.writeEnd.get());
    data.writeInt32(2);
    data.writeString16(String16("-a"));
    EXPECT_EQ(BAD_VALUE, mProxy->transact(IBinder::DUMP_TRANSACTION, data, &reply));

    pipe.writeEnd.reset();
    EXPECT_EQ("hello --state b!", readToEnd(pipe.readEnd.get()));
}

}  // namespace
}  // namespace android
