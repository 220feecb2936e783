// The writing side of the internal channel, shared by every event source:
// the binder threads (sendEvent) and the two key-word detection threads.
//
// A message is the event name followed by one line feed, written with one
// send() under a lock, so that messages of concurrent writers never mix. A
// writer never hangs: it gives up after kSendTimeoutSeconds. When a message
// is cut short, the next message starts with a line feed so that the cut
// piece never merges with it.
#pragma once

#include <stddef.h>

#include <mutex>

namespace ornak {
namespace xel {

class EventChannel {
  public:
    static constexpr int kSendTimeoutSeconds = 2;

    // Uses fd, the channel's writing end (not owned), and sets its send
    // time-out. Called once, before any writer exists.
    void attach(int fd);

    // Writes one message for name (its bytes up to the first NUL). On
    // failure logs the error "Failed to write event %s to channel" and
    // returns false. Thread-safe.
    bool send(const char* name);

  private:
    int mFd = -1;
    std::timed_mutex mLock;
    // A message was cut short: the next one must begin with a line feed.
    bool mFragmentPending = false;  // guarded by mLock
};

}  // namespace xel
}  // namespace ornak
