#include "service/runtime/ServiceStats.h"

namespace ornak {
namespace xel {

void ServiceStats::setEventCount(size_t events) {
    mEventCount = events;
    mDumps = std::make_unique<Counter[]>(events);
    mRefusals = std::make_unique<Counter[]>(events);
    android::Mutex::Autolock guard(mLock);
    mLastDumpPaths.assign(events, android::String8());
}

void ServiceStats::namesReceived(Source source, uint64_t count) {
    mNames[source].fetch_add(count, std::memory_order_relaxed);
}

void ServiceStats::dumped(size_t event, const android::String8& name,
                          const android::String8& dirName, const android::String8& dumpPath) {
    if (event < mEventCount) mDumps[event].fetch_add(1, std::memory_order_relaxed);
    android::Mutex::Autolock guard(mLock);
    if (event < mEventCount) mLastDumpPaths[event] = dumpPath;
    mNewest.emplace_front(name, dirName);
    if (mNewest.size() > kNewestDumps) mNewest.pop_back();
}

void ServiceStats::refused(size_t event) {
    if (event < mEventCount) mRefusals[event].fetch_add(1, std::memory_order_relaxed);
}

void ServiceStats::collected(uint64_t removed) {
    mPasses.fetch_add(1, std::memory_order_relaxed);
    mRemoved.fetch_add(removed, std::memory_order_relaxed);
}

ServiceStats::Snapshot ServiceStats::snapshot() const {
    Snapshot snapshot;
    for (size_t i = 0; i < kSourceCount; ++i) {
        snapshot.names[i] = mNames[i].load(std::memory_order_relaxed);
    }
    snapshot.collectionPasses = mPasses.load(std::memory_order_relaxed);
    snapshot.foldersRemoved = mRemoved.load(std::memory_order_relaxed);
    snapshot.events.resize(mEventCount);
    for (size_t i = 0; i < mEventCount; ++i) {
        snapshot.events[i].dumps = mDumps[i].load(std::memory_order_relaxed);
        snapshot.events[i].refusals = mRefusals[i].load(std::memory_order_relaxed);
    }
    android::Mutex::Autolock guard(mLock);
    for (size_t i = 0; i < mEventCount; ++i) snapshot.events[i].lastDumpPath = mLastDumpPaths[i];
    snapshot.newestDumps.assign(mNewest.begin(), mNewest.end());
    return snapshot;
}

}  // namespace xel
}  // namespace ornak
