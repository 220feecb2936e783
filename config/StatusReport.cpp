// The status report: the configuration as the daemon will work with it,
// printed to the system log at start-up.
#include "config/Event.h"
#include "config/Handler.h"
#include "config/Monitor.h"

namespace ornak {
namespace xel {
namespace {

// Four blanks per depth step; no prefix at depth 0 or below.
String8 indent(int32_t depth) {
    String8 prefix;
    for (int32_t i = 0; i < depth; ++i) prefix.append("    ");
    return prefix;
}

// A handler list prints each handler's text followed by its Enabled line.
void appendHandlerList(String8& out, const Vector<Configuration::Handler>& handlers, int32_t depth) {
    String8 prefix = indent(depth);
    for (size_t i = 0; i < handlers.size(); ++i) {
        out.append(handlers[i].statusText(depth));
        out.appendFormat("%sEnabled: %d\n", prefix.string(), handlers[i].mEnabled ? 1 : 0);
    }
}

}  // namespace

String8 Configuration::Handler::statusText(int32_t depth) const {
    String8 prefix = indent(depth);
    const char* p = prefix.string();
    String8 out;
    out.appendFormat("%sName: %s\n", p, mName.string());
    out.appendFormat("%sLevel: %d\n", p, mLevel);
    if (!mEnableCmd.isEmpty()) out.appendFormat("%sEnable cmd: %s\n", p, mEnableCmd.string());
    for (size_t i = 0; i < mEnableParas.size(); ++i) {
        out.appendFormat("%sEnable Para %d: %s\n", p, static_cast<int>(i), mEnableParas[i].string());
    }
    if (!mDumpCmd.isEmpty()) out.appendFormat("%sDump cmd: %s\n", p, mDumpCmd.string());
    for (size_t i = 0; i < mDumpParas.size(); ++i) {
        out.appendFormat("%sDump Para %d: %s\n", p, static_cast<int>(i), mDumpParas[i].string());
    }
    return out;
}

String8 Configuration::Event::statusText(int32_t depth) const {
    String8 prefix = indent(depth);
    const char* p = prefix.string();
    String8 out;
    out.appendFormat("%sEvent: %s, Policy: %d, Dump %d times\n", p, mName.string(), mPolicy,
                     mDumpCount);
    // Shown only when set, so that a report without the key reads as before.
    if (mMinInterval != 0) out.appendFormat("%sMinInterval: %ds\n", p, mMinInterval);
    out.appendFormat("%sUevent hints: ", p);
    for (size_t i = 0; i < mUevents.size(); ++i) out.appendFormat("%s, ", mUevents[i].string());
    out.appendFormat("\n%sKey words: ", p);
    for (size_t i = 0; i < mKeyWords.size(); ++i) out.appendFormat("%s, ", mKeyWords[i].string());
    out.appendFormat("\n%sHandlers: \n", p);
    appendHandlerList(out, mHandlers, depth + 1);
    return out;
}

String8 Configuration::statusReport() const {
    String8 out;
    out.appendFormat("Config File Path: %s\n", mConfigPath != nullptr ? mConfigPath : "");
    out.appendFormat("Log Dump Path: %s\n", mLogDumpPath.string());
    out.appendFormat("Additional Config Path: %s\n", mAdditionalConfPath.string());
    out.appendFormat("Enable Logcat Grep: %d\n", mLogcatGrep ? 1 : 0);
    out.appendFormat("Enable Kmsg Grep: %d\n", mKmsgGrep ? 1 : 0);
    out.appendFormat("MaxEventsDumped: %d\n", mMaxDumpCount);
    // The space limits are unsigned but shown as their signed reading.
    out.appendFormat("MaxLogSize: %dMB\n", static_cast<int32_t>(mMaxDumpSpace));
    out.appendFormat("MinFreeSpace: %dMB\n", static_cast<int32_t>(mMinFreeSpace));
    // Shown only when set, so that a report without the key reads as before.
    if (mHandlerTimeout != 0) out.appendFormat("HandlerTimeout: %ds\n", mHandlerTimeout);
    if (!mGlobalHandlers.isEmpty()) {
        out.append("Global handlers:\n");
        appendHandlerList(out, mGlobalHandlers, 1);
    }
    for (const Monitor& monitor : mMonitors) {
        out.appendFormat("%sMonitor: %s, Enabled: %d, Level: %d\n", indent(0).string(),
                         monitor.mName.string(), monitor.mEnabled ? 1 : 0, monitor.mLevel);
        for (const Event& event : monitor.mEvents) out.append(event.statusText(1));
    }
    return out;
}

Vector<String8> reportLines(const String8& report) {
    Vector<String8> lines;
    const char* lineStart = report.string();
    for (const char* p = lineStart;; ++p) {
        if (*p != '\n' && *p != '\0') continue;
        if (p > lineStart) lines.add(String8(lineStart, p - lineStart));
        if (*p == '\0') break;
        lineStart = p + 1;
    }
    return lines;
}

}  // namespace xel
}  // namespace ornak
