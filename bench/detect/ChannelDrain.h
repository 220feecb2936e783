// A socket pair standing in for the internal channel: a thread reads
// everything written to the writing end and counts the messages (line
// feeds) that arrive, as the monitor thread would, without dumping.
#pragma once

#include <stddef.h>

#include <atomic>
#include <thread>

#include <utils/UniqueFd.h>

namespace lyrd_bench {

class ChannelDrain {
  public:
    // False from ok() when the pair could not be made.
    ChannelDrain();
    // Closes the writing end and waits for the reader to see it.
    ~ChannelDrain();
    ChannelDrain(const ChannelDrain&) = delete;
    ChannelDrain& operator=(const ChannelDrain&) = delete;

    bool ok() const { return mWriteEnd.ok(); }
    // The end to hand to writers; owned by the drain.
    int writeEnd() const { return mWriteEnd.get(); }
    size_t messages() const { return mMessages.load(); }
    // Waits until count messages have arrived or no message has come for
    // quietMs; the number that arrived.
    size_t waitFor(size_t count, int quietMs) const;

  private:
    void drain();

    android::UniqueFd mWriteEnd;
    android::UniqueFd mReadEnd;
    std::atomic<size_t> mMessages{0};
    std::thread mReader;
};

}  // namespace lyrd_bench
