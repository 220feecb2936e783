// Log garbage collection: keeps the newest dumps, by the stamp in their
// names, and removes the older ones.
#define LOG_TAG "LyrDebugService"

#include <stdint.h>

#include <functional>
#include <queue>
#include <vector>

#include <log/log.h>

#include "dump/DirListing.h"
#include "dump/DumpFolderName.h"
#include "dump/DumpFolders.h"
#include "service/LyrDebugService.h"
#include "service/runtime/ShellQuote.h"

namespace ornak {
namespace xel {
namespace {

// The largest stamps seen, at most limit of them, equal stamps counted
// separately. Holds stamps only, never names, so a pass needs no more
// memory than the number of dumps it keeps.
class KeptStamps {
  public:
    explicit KeptStamps(size_t limit) : mLimit(limit) {}

    void offer(uint64_t stamp) {
        if (mStamps.size() < mLimit) {
            mStamps.push(stamp);
        } else if (stamp >= mStamps.top()) {
            mStamps.pop();
            mStamps.push(stamp);
        }
    }
    bool full() const { return mStamps.size() >= mLimit; }
    // The smallest kept stamp: the oldest dump that stays.
    uint64_t smallest() const { return mStamps.top(); }

  private:
    size_t mLimit;
    std::priority_queue<uint64_t, std::vector<uint64_t>, std::greater<uint64_t>> mStamps;
};

DirPtr openDumpDir(const String8& path) {
    DirPtr dir = openDirectory(path.string());
    if (dir == nullptr) ALOGE("fail to open log dump dir %s", path.string());
    return dir;
}

// First pass: only folders count as dumps.
bool collectStamps(const String8& dumpDir, KeptStamps& kept) {
    if (visitDumpFolders(dumpDir.string(), [&kept](uint64_t stamp) { kept.offer(stamp); })) {
        return true;
    }
    ALOGE("fail to open log dump dir %s", dumpDir.string());
    return false;
}

// Second pass: anything with a dump-shaped name older than oldestKept goes,
// folder or not.
// Returns how many removal lines ran (a line that runs but fails goes
// unnoticed, as the folder is found again by the next pass).
uint64_t removeOlderThan(SystemCalls& system, const String8& dumpDir, uint64_t oldestKept) {
    DirPtr dir = openDumpDir(dumpDir);
    if (dir == nullptr) return 0;
    uint64_t removed = 0;
    while (const struct dirent* entry = readdir(dir.get())) {
        uint64_t stamp;
        if (isDotEntry(entry->d_name) || !readDumpStamp(entry->d_name, stamp)) continue;
        if (stamp >= oldestKept) continue;
        String8 path = String8::format("%s/%s", dumpDir.string(), entry->d_name);
        String8 line = String8::format("rm -fr -- %s", shellQuote(path.string()).string());
        ALOGD("Remove cmd: %s", line.string());
        if (system.runShell(line.string()) < 0) {
            ALOGE("Remove old dir %s failed", entry->d_name);
        } else {
            ++removed;
        }
    }
    return removed;
}

// One pass: the stamps of the dump folders, then the removal of those older
// than the newest mMaxDumpCount; how many removal lines ran.
uint64_t collect(LyrDebugService& service) {
    // A limit below one keeps collection off rather than removing every dump.
    if (service.mMaxDumpCount < 1) return 0;
    KeptStamps kept(static_cast<size_t>(service.mMaxDumpCount));
    if (!collectStamps(service.mLogDumpPath, kept)) return 0;
    // Fewer dumps than the limit: nothing to remove.
    if (!kept.full()) return 0;
    return removeOlderThan(service.systemCalls(), service.mLogDumpPath, kept.smallest());
}

}  // namespace

void LyrDebugService::removeOldDumps() {
    mStats.collected(collect(*this));
}

}  // namespace xel
}  // namespace ornak
