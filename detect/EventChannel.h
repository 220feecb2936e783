// The writing side of the internal channel, shared by every event source:
// the binder threads (sendEvent) and the two key-word detection threads.
//
// A message is the event name followed by one line feed, written whole
// under a lock, so that messages of concurrent writers never mix. The lock
// is held only while bytes go out, never while a writer waits for room: a
// message of a name up to kMaxNameLength bytes goes out whole or not at
// all. Only a longer one, cut short, keeps the lock while it waits for
// room for its rest.
// Names wait in the channel, never lost, as long as its reader (the monitor
// thread) lives: a detection thread waits for room for as long as that
// takes, a binder thread at most kSendTimeoutSeconds, so that a client can
// never hold it. When a message is cut short, the next message starts with
// a line feed so that the cut piece never merges with it.
#pragma once

#include <stddef.h>

#include <atomic>
#include <chrono>
#include <optional>

#include <utils/Mutex.h>

#include "detect/ExitEvent.h"

namespace ornak {
namespace xel {

class EventChannel {
  public:
    static constexpr int kSendTimeoutSeconds = 2;
    // The socket pair's send buffer. The kernel charges each small message
    // several hundred bytes, so this lets at least 2,000 names of 32 bytes
    // wait while a dump runs (about 2,700 on Linux 6).
    static constexpr int kBufferBytes = 1 << 20;
    // No configured event has a longer name: configuration lines are at
    // most 1023 bytes.
    static constexpr size_t kMaxNameLength = 1023;

    enum class Outcome { kSent, kTimedOut, kCancelled, kNoReader, kFailed };

    // Uses fd, the channel's writing end (not owned), enlarges its buffer and
    // sets its send time-out. Called once, before any writer exists.
    void attach(int fd);

    // For binder threads: writes one message for name (its bytes up to the
    // first NUL), waiting at most kSendTimeoutSeconds for room. On failure
    // logs the error "Failed to write event %s to channel" and returns false.
    bool send(const char* name);

    // For detection threads: writes one message for name, waiting for room
    // as long as the reader lives, until cancelFd (when not -1) becomes
    // readable. Only a failed write (kFailed) is logged; no reader and a
    // cancel give up silently.
    Outcome sendWhileReaderLives(const char* name, int cancelFd);

    // The reader has ended for good: nothing is written any more and every
    // waiting writer gives up at once. True only for the first call.
    bool markReaderEnded();
    bool hasReader() const { return !mReaderEnded.load(); }

  private:
    using Clock = std::chrono::steady_clock;
    using Deadline = std::optional<Clock::time_point>;

    Outcome deliver(const char* name, Deadline deadline, int cancelFd);
    // One try at the whole message; nullopt when nothing went out for lack
    // of room, for the caller to wait without the lock.
    std::optional<Outcome> sendOnce(const char* name, size_t length, Deadline deadline,
                                    int cancelFd) EXCLUDES(mLock);
    // Waits until the channel may take bytes; kSent when it may.
    Outcome waitForRoom(Deadline deadline, int cancelFd) const;

    int mFd = -1;
    android::Mutex mLock;
    // A message was cut short: the next one must begin with a line feed.
    bool mFragmentPending GUARDED_BY(mLock) = false;
    std::atomic<bool> mReaderEnded{false};
    ExitEvent mReaderGone;  // signalled with mReaderEnded
};

}  // namespace xel
}  // namespace ornak
