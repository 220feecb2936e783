#include "BufferCursor.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "LogRecord.h"

namespace android {
namespace host {
namespace {

// Read a good many records per system call; always more than one record.
constexpr size_t kReadChunk = 64 * 1024;
static_assert(kReadChunk > kMaxRecordSize, "a chunk holds a whole record");

}  // namespace

int BufferCursor::open(const std::string& path) {
    // O_NONBLOCK: opening a FIFO put in a buffer's place must not hang.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.ok()) return -errno;
    struct stat st;
    if (fstat(fd.get(), &st) != 0) return -errno;
    if (!S_ISREG(st.st_mode)) return -EINVAL;
    mFd = std::move(fd);
    restart();
    return 0;
}

int BufferCursor::peek() {
    if (mHeadSize != 0) return 1;
    for (;;) {
        size_t size = 0;
        RecordCheck check = checkRecord(mData.data() + mPos, mData.size() - mPos, &size);
        switch (check) {
            case RecordCheck::kComplete:
                mHeadSize = size;
                return 1;
            case RecordCheck::kDamaged:
                ++mPos;
                break;
            case RecordCheck::kIncomplete: {
                ssize_t got = fill();
                if (got <= 0) return static_cast<int>(got);
                break;
            }
        }
    }
}

void BufferCursor::advance() {
    mPos += mHeadSize;
    mHeadSize = 0;
}

ssize_t BufferCursor::fill() {
    struct stat st;
    if (fstat(mFd.get(), &st) != 0) return -errno;
    if (st.st_size < mDataOffset + static_cast<off_t>(mData.size())) restart();

    mData.erase(mData.begin(), mData.begin() + mPos);
    mDataOffset += static_cast<off_t>(mPos);
    mPos = 0;

    off_t end = mDataOffset + static_cast<off_t>(mData.size());
    if (st.st_size <= end) return 0;
    size_t want = std::min(static_cast<size_t>(st.st_size - end), kReadChunk);
    size_t had = mData.size();
    mData.resize(had + want);
    ssize_t got = pread(mFd.get(), mData.data() + had, want, end);
    int error = errno;
    mData.resize(had + static_cast<size_t>(got > 0 ? got : 0));
    return got < 0 ? -error : got;
}

void BufferCursor::restart() {
    mData.clear();
    mDataOffset = 0;
    mPos = 0;
    mHeadSize = 0;
}

}  // namespace host
}  // namespace android
