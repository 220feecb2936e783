// The global section: paths, switches and limits of the whole daemon.
#include <android/log.h>

#include "config/KeyTable.h"
#include "config/SectionKeys.h"

namespace ornak {
namespace xel {
namespace {

// The folder is made when the line is read, every time it is read.
status_t setLogDumpPath(KeyContext& context, Configuration& config, const String8& value) {
    config.mLogDumpPath = value;
    if (context.effects.makeDumpFolder(value.string()) < 0) {
        context.problem(ProblemKind::kDumpFolderNotMade, value.string());
        report(context.reporter, ANDROID_LOG_ERROR, "Failed to create log dump dir %s",
               value.string());
        return android::INVALID_OPERATION;
    }
    return android::NO_ERROR;
}

// A file that cannot be opened is no error: it is just not read.
status_t setAdditionalConfPath(KeyContext& context, Configuration& config, const String8& value) {
    config.mAdditionalConfPath = value;
    if (context.effects.canOpen(value.string())) {
        report(context.reporter, ANDROID_LOG_DEBUG, "Use additional config file");
        config.mUseAdditionalConf = true;
    }
    return android::NO_ERROR;
}

constexpr KeyRow<Configuration> kGlobalRows[] = {
        {"log_dump_path", 680, ValueKind::kText, ValueUse::kValue, setLogDumpPath},
        {"additional_conf_path", 692, ValueKind::kText, ValueUse::kValue, setAdditionalConfPath},
        switchKey<&Configuration::mLogcatGrep>("logcat_grep", 705),
        switchKey<&Configuration::mKmsgGrep>("kmsg_grep", 709),
        numberKey<&Configuration::mMaxDumpCount>("max_dump_count", 713),
        numberKey<&Configuration::mMaxDumpSpace>("max_dump_space", 717),
        numberKey<&Configuration::mMinFreeSpace>("min_free_space", 721),
        numberKey<&Configuration::mHandlerTimeout>("handler_timeout", 725),
};
constexpr KeyTable<Configuration> kGlobalKeys = makeKeyTable("global", 676, kGlobalRows);

}  // namespace

status_t parseGlobalKey(KeyContext& context, Configuration& config) {
    return applyKey(context, kGlobalKeys, config);
}

std::vector<const char*> globalKeyWords() {
    return keyWordsOf(kGlobalKeys);
}

}  // namespace xel
}  // namespace ornak
