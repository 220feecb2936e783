// The dump of one event: the limits, the timestamped dump folder, the
// handlers run inside it, the notification of the files written and the
// history.
#define LOG_TAG "LyrDebugService"

#include <inttypes.h>
#include <stdint.h>
#include <sys/statfs.h>
#include <time.h>
#include <unistd.h>

#include <lct/lct.h>
#include <log/log.h>

#include "config/Event.h"
#include "config/Monitor.h"
#include "config/NameIndex.h"
#include "dump/DirListing.h"
#include "dump/DirSize.h"
#include "dump/DumpFolderName.h"
#include "dump/DumpFolders.h"
#include "dump/LogGCThread.h"
#include "service/LyrDebugService.h"
#include "service/runtime/ShellQuote.h"

namespace ornak {
namespace xel {
namespace {

// Checked on "/data" whatever the dump path: that is where dumps compete
// with the rest of the system for space.
constexpr const char* kDataPath = "/data";
constexpr size_t kSavedDirSize = 1024;

// Free megabytes of /data, counting the blocks kept for the superuser, as
// the daemon runs as root; false when the file system cannot be asked.
bool freeDataSpaceMb(SystemCalls& system, uint64_t& freeMb) {
    struct statfs fs;
    if (system.statFs(kDataPath, &fs) != 0) return false;
    freeMb = static_cast<uint64_t>(fs.f_bfree) * static_cast<uint64_t>(fs.f_bsize) >> 20;
    return true;
}

// The highest level among the enabled monitors that hold the event; 0 when
// none does.
int32_t dumpLevelOf(const Vector<LyrDebugService::Monitor>& monitors, const char* name) {
    int32_t level = 0;
    for (size_t m = 0; m < monitors.size(); ++m) {
        const LyrDebugService::Monitor& monitor = monitors[m];
        if (monitor.mEnabled && monitor.mLevel > level && indexOfName(monitor.mEvents, name) >= 0) {
            level = monitor.mLevel;
        }
    }
    return level;
}

// mkdir -p also makes the log dump folder on the first dump. "--": a path
// that begins with "-" is still a path.
bool makeDumpFolder(SystemCalls& system, const String8& dumpPath) {
    String8 line = String8::format("mkdir -p -- %s", shellQuote(dumpPath.string()).string());
    if (system.runShell(line.string()) >= 0) return true;
    ALOGE("Create log dump dir failed, %s", dumpPath.string());
    return false;
}

}  // namespace

void LyrDebugService::dumpEvent(const char* name) {
    if (name == nullptr) name = "";
    // Refusals count per event; a name of no event is only logged.
    const ssize_t place = indexOfName(mEvents, name);
    if (!runDump(place, name) && place >= 0) mStats.refused(static_cast<size_t>(place));
}

bool LyrDebugService::runDump(ssize_t place, const char* name) {
    if (!hasRoomForDump() || !mayDump(place, name)) return false;
    Event& event = mEvents.editItemAt(static_cast<size_t>(place));
    const android::nsecs_t started = systemCalls().monotonicTime();

    int32_t level = dumpLevelOf(mMonitors, name);
    ALOGD("The log level is %d", level);
    String8 dirName;
    if (!makeDumpFolderName(name, systemCalls().now(), dirName)) {
        ALOGE("Get time failed");
        return false;
    }
    String8 dumpPath = String8::format("%s/%s/", mLogDumpPath.string(), dirName.string());
    ALOGD("Dump event %s to %s", name, dumpPath.string());
    if (!makeDumpFolder(systemCalls(), dumpPath)) return false;

    // Handlers write their output to relative paths, so they run inside the
    // dump folder; the working directory is put back afterwards.
    char savedDir[kSavedDirSize];
    bool haveSavedDir = getcwd(savedDir, sizeof(savedDir)) != nullptr;
    if (!haveSavedDir) ALOGE("Save current dir failed");
    // Anywhere else, the handlers' files would overwrite what has their
    // names and never be collected; and the dump would count, using up a
    // once event for nothing. The next event tries again.
    if (chdir(dumpPath.string()) != 0) {
        ALOGE("chdir() to %s failed", dumpPath.string());
        return false;
    }

    dumpGlobalHandlers(level);
    // A handler that cannot run ends the event's handlers, not the dump.
    (void)event.dumpHandlers(level, handlerShell());

    ++event.mDumpCount;
    event.mLastDumpTime = started;
    notifyLogFiles(name, dumpPath.string());
    mHistory.add(HistoryEntry(String8(name), dirName));
    mStats.dumped(static_cast<size_t>(place), String8(name), dirName, dumpPath);

    if (haveSavedDir && chdir(savedDir) != 0) ALOGE("Restore dir to %s failed", savedDir);
    collectIfOverCount();
    return true;
}

bool LyrDebugService::hasRoomForDump() {
    uint64_t freeMb = 0;
    bool haveFree = freeDataSpaceMb(systemCalls(), freeMb);
    if (!haveFree) ALOGW("Cannot get free space of /data, skip the check");

    int64_t totalBytes = 0;
    getDirSize(mLogDumpPath.string(), totalBytes);
    int64_t totalMb = totalBytes >> 20;
    ALOGD("free=%" PRIu64 "MB, total log size=%" PRId64 "MB\n", freeMb, totalMb);

    if (haveFree && freeMb < mMinFreeSpace) {
        ALOGW("No enough space, MinFreeSpace: %uMB, CurrentFreeSpace: %" PRIu64 "MB", mMinFreeSpace,
              freeMb);
        return false;
    }
    if (totalMb >= static_cast<int64_t>(mMaxDumpSpace)) {
        ALOGW("Log size is too large, MaxLogSize: %uMB, CurrentLogSize: %" PRId64 "MB",
              mMaxDumpSpace, totalMb);
        return false;
    }
    return true;
}

bool LyrDebugService::mayDump(ssize_t place, const char* name) {
    if (place < 0) {
        ALOGW("Invalid event received, %s", name);
        return false;
    }
    const Event& event = mEvents[static_cast<size_t>(place)];
    if (event.mPolicy == Event::kPolicyOnce && event.mDumpCount > 0) {
        ALOGD("Dump policy for event %s is ONCE, we already dumpped once", event.mName.string());
        return false;
    }
    if (event.mMinInterval > 0 && event.mLastDumpTime >= 0) {
        android::nsecs_t since = systemCalls().monotonicTime() - event.mLastDumpTime;
        if (since < android::seconds_to_nanoseconds(event.mMinInterval)) {
            ALOGD("Dump of event %s skipped, last dump %d s ago, min_interval %d s",
                  event.mName.string(), static_cast<int>(since / 1000000000), event.mMinInterval);
            return false;
        }
    }
    return true;
}

// After a burst of dumps the space limit would refuse every later event
// until the next timed pass, although keeping the newest dumps would make
// room at once.
void LyrDebugService::collectIfOverCount() {
    if (mMaxDumpCount < 1 || mLogGCThread == nullptr) return;
    if (countDumpFolders(mLogDumpPath.string()) > static_cast<size_t>(mMaxDumpCount)) {
        mLogGCThread->collectNow();
    }
}

status_t LyrDebugService::notifyLogFiles(const char* name, const char* dumpPath) {
    DirPtr dir = openDirectory(dumpPath);
    if (dir == nullptr) {
        ALOGE("fail to open log dump dir %s", dumpPath);
        return android::INVALID_OPERATION;
    }
    // Files at the top of the dump folder only; subfolders are not entered.
    String8 files;
    while (const struct dirent* entry = readdir(dir.get())) {
        if (isDotEntry(entry->d_name) || isDirectoryEntry(dir.get(), entry)) continue;
        files.appendFormat("%s%s;", dumpPath, entry->d_name);
    }
    dir.reset();
    ALOGD("Filelist: %s", files.string());

    __lct_log_all(2, "LYRD", name, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                  files.string(), 0);
    return android::NO_ERROR;
}

}  // namespace xel
}  // namespace ornak
