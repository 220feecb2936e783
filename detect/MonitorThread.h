// The single consumer of debug events: waits on the kernel uevent socket and
// on the internal channel, and hands every event it receives to its sink,
// one after another on this thread.
#pragma once

#include <poll.h>
#include <sys/types.h>

#include <utils/Thread.h>
#include <utils/UniqueFd.h>

#include "detect/EventSink.h"
#include "detect/ExitEvent.h"
#include "detect/InternalEventReader.h"
#include "service/LyrDebugService.h"

namespace ornak {
namespace xel {

class MonitorThread : public android::Thread {
  public:
    // Reads the service's channel and monitors; hands every event to sink
    // (the service wires its dumpEvent there).
    MonitorThread(LyrDebugService* service, EventSink sink);
    ~MonitorThread() override;

    // Opens the uevent socket; TIMED_OUT when it cannot be made or bound.
    // When set-up fails or the channel closes, the thread ends and tells
    // the channel's writers so, once, at error.
    android::status_t readyToRun() override;
    // Also wakes the thread from its wait, so it ends at once.
    void requestExit() override;

  private:
    enum PollEntry { kUevent = 0, kChannel = 1, kExit = 2, kPollEntries = 3 };
    static constexpr size_t kReceiveSize = InternalEventReader::kReceiveSize;

    bool threadLoop() override;
    void dispatch(PollEntry entry);
    void endReading();

    LyrDebugService* mService;  // not owned
    EventSink mSink;
    android::UniqueFd mUeventSocket;
    ExitEvent mExit;
    struct pollfd mPollSet[kPollEntries] = {};
    char mBuffer[kReceiveSize + 1] = {};
    ssize_t mReceived = 0;
    InternalEventReader mInternal;
};

}  // namespace xel
}  // namespace ornak
