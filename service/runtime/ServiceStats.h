// What the daemon has done since it started, for its state report: names
// received per source, dumps and refusals per event, collection passes and
// folders removed, and the newest dumps.
//
// Each figure is written by the thread that does the work and read by a
// binder thread. Counters are atomics; the few texts (each event's last
// dump path, the newest dumps) sit behind a lock held only to copy one in
// or out, so a report never holds up a dump.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <sys/types.h>

#include <array>
#include <atomic>
#include <deque>
#include <memory>
#include <utility>
#include <vector>

#include <utils/Mutex.h>
#include <utils/String8.h>

namespace ornak {
namespace xel {

class ServiceStats {
  public:
    enum Source { kBinder, kLogBuffers, kKmsg, kUevents, kSourceCount };
    static constexpr size_t kNewestDumps = 50;

    struct EventFigures {
        uint64_t dumps = 0;
        uint64_t refusals = 0;
        android::String8 lastDumpPath;  // empty before the first dump
    };
    struct Snapshot {
        std::array<uint64_t, kSourceCount> names{};
        uint64_t collectionPasses = 0;
        uint64_t foldersRemoved = 0;
        std::vector<EventFigures> events;
        // (event name, dump folder name), newest first.
        std::vector<std::pair<android::String8, android::String8>> newestDumps;
    };

    // For the configured events, by their place in the service's list;
    // called once before any thread writes a figure.
    void setEventCount(size_t events);

    void namesReceived(Source source, uint64_t count = 1);
    // event: the place of the dumped event (out of range: not counted).
    void dumped(size_t event, const android::String8& name, const android::String8& dirName,
                const android::String8& dumpPath);
    void refused(size_t event);
    void collected(uint64_t removed);

    Snapshot snapshot() const;

  private:
    using Counter = std::atomic<uint64_t>;

    std::array<Counter, kSourceCount> mNames{};
    Counter mPasses{0};
    Counter mRemoved{0};
    size_t mEventCount = 0;
    std::unique_ptr<Counter[]> mDumps;
    std::unique_ptr<Counter[]> mRefusals;

    mutable android::Mutex mLock;
    std::vector<android::String8> mLastDumpPaths GUARDED_BY(mLock);
    std::deque<std::pair<android::String8, android::String8>> mNewest GUARDED_BY(mLock);
};

}  // namespace xel
}  // namespace ornak
