#include "MergedReader.h"

#include <errno.h>
#include <poll.h>
#include <string.h>
#include <sys/inotify.h>
#include <unistd.h>

#include "LogRecord.h"

namespace android {
namespace host {
namespace {

RecordHeader headerOf(const BufferCursor& cursor) {
    RecordHeader header;
    memcpy(&header, cursor.head(), sizeof(header));
    return header;
}

log_time timeOf(const RecordHeader& header) {
    return log_time(static_cast<uint32_t>(header.sec), static_cast<uint32_t>(header.nsec));
}

}  // namespace

MergedReader::MergedReader(bool blocking, log_time start, pid_t pid)
    : mBlocking(blocking), mStart(start), mPid(pid) {}

int MergedReader::init() {
    mInotify.reset(inotify_init1(IN_CLOEXEC | IN_NONBLOCK));
    return mInotify.ok() ? 0 : -errno;
}

int MergedReader::addBuffer(const std::string& path) {
    auto cursor = std::make_unique<BufferCursor>();
    int result = cursor->open(path);
    if (result != 0) return result;
    // Watched after opening: whatever is written in between is read anyway,
    // since the first read looks at the whole file.
    if (inotify_add_watch(mInotify.get(), path.c_str(), IN_MODIFY) < 0) return -errno;
    mCursors.push_back(std::move(cursor));
    return 0;
}

int MergedReader::read(log_msg* msg) {
    if (mCursors.empty()) return -ENODEV;
    for (;;) {
        int result = takeOldest(msg);
        if (result != 0) return result;
        if (!mBlocking) return -EAGAIN;
        result = waitForChange();
        if (result != 0) return result;
    }
}

int MergedReader::takeOldest(log_msg* msg) {
    BufferCursor* oldest = nullptr;
    for (auto& cursor : mCursors) {
        int result = peekWanted(cursor.get());
        if (result < 0) return result;
        if (result == 0) continue;
        if (oldest == nullptr || timeOf(headerOf(*cursor)) < timeOf(headerOf(*oldest))) {
            oldest = cursor.get();
        }
    }
    if (oldest == nullptr) return 0;

    size_t size = oldest->headSize();
    memcpy(msg->buf, oldest->head(), size);
    msg->buf[size] = '\0';
    msg->entry.__pad = 0;
    oldest->advance();
    return static_cast<int>(size);
}

int MergedReader::peekWanted(BufferCursor* cursor) const {
    for (;;) {
        int result = cursor->peek();
        if (result <= 0) return result;
        RecordHeader header = headerOf(*cursor);
        bool wanted = (mPid == 0 || header.pid == mPid) && !(timeOf(header) < mStart);
        if (wanted) return 1;
        cursor->advance();
    }
}

int MergedReader::waitForChange() {
    pollfd watch{mInotify.get(), POLLIN, 0};
    // poll() is never restarted after a signal handler, whatever its flags:
    // that is what lets a reading thread be stopped.
    if (poll(&watch, 1, -1) < 0) return -errno;
    // The events themselves do not matter: every cursor looks at its file
    // again. Reading them all keeps the next poll() from waking at once.
    alignas(inotify_event) char events[4096];
    while (::read(mInotify.get(), events, sizeof(events)) > 0) {
    }
    return 0;
}

}  // namespace host
}  // namespace android
