// The global section: paths, switches and limits of the whole daemon.
#define LOG_TAG "LyrDebugService"

#include "service/LyrDebugService.h"

#include <fcntl.h>
#include <stdlib.h>

#include <log/log.h>
#include <utils/UniqueFd.h>

#include "config/ParserSupport.h"
#include "service/runtime/ShellQuote.h"

namespace ornak {
namespace xel {
namespace {

enum GlobalKey {
    kLogDumpPath,
    kAdditionalConfPath,
    kLogcatGrep,
    kKmsgGrep,
    kMaxDumpCount,
    kMaxDumpSpace,
    kMinFreeSpace,
};
// In GlobalKey order, which is the matching order.
constexpr const char* kGlobalKeyWords[] = {
        "log_dump_path",  "additional_conf_path", "logcat_grep",    "kmsg_grep",
        "max_dump_count", "max_dump_space",       "min_free_space", nullptr,
};
constexpr int kValueSites[] = {680, 692, 705, 709, 713, 717, 721};
constexpr SectionKeys kGlobalKeys{"global", 676, kGlobalKeyWords};

}  // namespace

status_t LyrDebugService::parseGlobalKey(const char* line) {
    int key = takeKey(mSplit, line, kGlobalKeys);
    if (key < 0) return android::BAD_VALUE;
    String8 value;
    if (getConfigValue(line, value) != 0) return failSetValue(kValueSites[key]);

    switch (key) {
        case kLogDumpPath: {
            mLogDumpPath = value;
            // Quoted, so the shell sees the path as one literal word, and after
            // "--", so that a path beginning with "-" is no option.
            String8 command("mkdir -p -- ");
            command.append(shellQuote(value.string()));
            if (systemCalls().runShell(command.string()) < 0) {
                ALOGE("Failed to create log dump dir %s", value.string());
                return android::INVALID_OPERATION;
            }
            break;
        }
        case kAdditionalConfPath: {
            mAdditionalConfPath = value;
            android::UniqueFd probe(open(value.string(), O_RDONLY | O_CLOEXEC));
            if (probe.ok()) {
                ALOGD("Use additional config file");
                mUseAdditionalConf = true;
            }
            break;
        }
        case kLogcatGrep:
            mLogcatGrep = atoi(value.string()) != 0;
            break;
        case kKmsgGrep:
            mKmsgGrep = atoi(value.string()) != 0;
            break;
        case kMaxDumpCount:
            mMaxDumpCount = atoi(value.string());
            break;
        case kMaxDumpSpace:
            mMaxDumpSpace = static_cast<uint32_t>(atoi(value.string()));
            break;
        case kMinFreeSpace:
            mMinFreeSpace = static_cast<uint32_t>(atoi(value.string()));
            break;
    }
    return android::NO_ERROR;
}

}  // namespace xel
}  // namespace ornak
