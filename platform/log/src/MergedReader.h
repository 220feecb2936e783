// Reads the records of several buffer files as one stream, oldest first.
//
// Each read hands out the oldest record that any buffer has next, after
// passing over records older than the start time or of other processes. A
// blocking reader that has nothing to hand out sleeps on inotify until one
// of its files changes: no polling loop, and a signal handler ends the
// sleep with -EINTR.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include <log/logger.h>
#include <utils/UniqueFd.h>

#include "BufferCursor.h"

namespace android {
namespace host {

class MergedReader {
  public:
    // pid 0 reads the records of every process.
    MergedReader(bool blocking, log_time start, pid_t pid);

    // Sets up the change notification; 0 or a negative errno.
    int init();
    // Starts reading the file at path from its first record; 0 or a
    // negative errno.
    int addBuffer(const std::string& path);
    // Copies the next record into msg with a NUL after it: its size, or a
    // negative errno (-ENODEV with no buffer, -EAGAIN when a non-blocking
    // reader has nothing, -EINTR when a signal ended the wait).
    int read(log_msg* msg);

  private:
    // The size of the record copied, 0 when no buffer has one, or a
    // negative errno.
    int takeOldest(log_msg* msg);
    // Moves the cursor past records this reader does not want; peek()'s result.
    int peekWanted(BufferCursor* cursor) const;
    int waitForChange();

    const bool mBlocking;
    const log_time mStart;
    const pid_t mPid;
    UniqueFd mInotify;
    // Buffers in the order they were added; ties in time go to the earlier.
    std::vector<std::unique_ptr<BufferCursor>> mCursors;
};

}  // namespace host
}  // namespace android
