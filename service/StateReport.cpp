// The state report the service writes for the platform's dump transaction
// (what dumpsys shows): whether it started, its threads, what it received
// and did since, per event and in all.
#include "service/LyrDebugService.h"

#include <errno.h>
#include <inttypes.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>

#include "config/Event.h"
#include "detect/KmsgDetectThread.h"
#include "detect/LogcatDetectThread.h"
#include "detect/MonitorThread.h"
#include "dump/LogGCThread.h"

namespace ornak {
namespace xel {
namespace {

// A caller that does not read its end may hold a binder thread this long.
constexpr std::chrono::seconds kWriteLimit{2};
// At most what a pipe takes at once once it says it has room.
constexpr size_t kWriteChunk = 4096;

const char* stateOf(const sp<android::Thread>& thread) {
    if (thread == nullptr) return "not created";
    return thread->isRunning() ? "running" : "ended";
}

void appendThreads(String8& out, const LyrDebugService& service) {
    out.appendFormat("threads: LogGC %s, Logcat Detect %s, Kmsg Detect %s, Monitor %s\n",
                     stateOf(service.mLogGCThread), stateOf(service.mLogcatThread),
                     stateOf(service.mKmsgThread), stateOf(service.mMonitorThread));
}

void appendTotals(String8& out, const ServiceStats::Snapshot& stats) {
    out.appendFormat("names received: binder %" PRIu64 ", log buffers %" PRIu64 ", kmsg %" PRIu64
                     ", uevents %" PRIu64 "\n",
                     stats.names[ServiceStats::kBinder], stats.names[ServiceStats::kLogBuffers],
                     stats.names[ServiceStats::kKmsg], stats.names[ServiceStats::kUevents]);
    out.appendFormat("collection: %" PRIu64 " passes, %" PRIu64 " folders removed\n",
                     stats.collectionPasses, stats.foldersRemoved);
}

void appendEvents(String8& out, const Vector<LyrDebugService::Event>& events,
                  const ServiceStats::Snapshot& stats) {
    for (size_t i = 0; i < events.size(); ++i) {
        ServiceStats::EventFigures figures;
        if (i < stats.events.size()) figures = stats.events[i];
        const char* last = figures.lastDumpPath.isEmpty() ? "-" : figures.lastDumpPath.string();
        out.appendFormat("event %s: dumps=%" PRIu64 " refused=%" PRIu64 " last=%s\n",
                         events[i].mName.string(), figures.dumps, figures.refusals, last);
    }
}

void appendNewestDumps(String8& out, const ServiceStats::Snapshot& stats) {
    out.appendFormat("newest dumps (at most %zu, newest first):\n", ServiceStats::kNewestDumps);
    for (const auto& [name, dirName] : stats.newestDumps) {
        out.appendFormat("    %s %s\n", name.string(), dirName.string());
    }
}

// Waits for room before every chunk, so that a caller that stops reading
// holds the calling thread at most kWriteLimit.
status_t writeAll(int fd, const String8& text) {
    auto deadline = std::chrono::steady_clock::now() + kWriteLimit;
    const char* next = text.string();
    size_t left = text.length();
    while (left > 0) {
        auto wait = std::chrono::ceil<std::chrono::milliseconds>(deadline -
                                                                 std::chrono::steady_clock::now());
        if (wait.count() <= 0) return android::TIMED_OUT;
        struct pollfd room = {fd, POLLOUT, 0};
        int ready = ::poll(&room, 1, static_cast<int>(wait.count()));
        if (ready < 0 && errno != EINTR) return -errno;
        if (ready <= 0) continue;
        ssize_t written = ::write(fd, next, left < kWriteChunk ? left : kWriteChunk);
        if (written < 0 && errno != EINTR && errno != EAGAIN) return -errno;
        if (written <= 0) continue;
        next += written;
        left -= static_cast<size_t>(written);
    }
    return android::NO_ERROR;
}

}  // namespace

String8 LyrDebugService::stateReport() const {
    String8 out;
    if (mStopped == 0) {
        out.append("service: started\n");
    } else {
        out.appendFormat("service: not started (%s)\n",
                         mStartFailure != nullptr ? mStartFailure : "starting");
    }
    ServiceStats::Snapshot stats = mStats.snapshot();
    appendThreads(out, *this);
    appendTotals(out, stats);
    appendEvents(out, mEvents, stats);
    appendNewestDumps(out, stats);
    return out;
}

status_t LyrDebugService::dump(int fd, const Vector<android::String16>& /*args*/) {
    return writeAll(fd, stateReport());
}

}  // namespace xel
}  // namespace ornak
