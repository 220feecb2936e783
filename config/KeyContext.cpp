#include "config/KeyContext.h"

#include <android/log.h>

#include "config/ValueRule.h"

namespace ornak {
namespace xel {

status_t KeyContext::failAtSite(int site) {
    report(reporter, ANDROID_LOG_ERROR, "Config file parsing error at line %d: %s", site, line);
    return android::BAD_VALUE;
}

status_t KeyContext::failSetValue(int site) {
    report(reporter, ANDROID_LOG_ERROR, "Set value failed at line %d", site);
    return android::BAD_VALUE;
}

bool KeyContext::readValue(const char* key, String8& value) {
    ValueFault fault = readConfigValue(reporter, line, split.lastWordOffset(), value);
    if (fault == ValueFault::kNone) return true;
    problem(ProblemKind::kBadValue, key, fault);
    return false;
}

void KeyContext::problem(ProblemKind kind, const char* subject, ValueFault fault) {
    reporter.problem({kind, section, handler, subject, fault});
}

void KeyContext::keyApplied(const char* key, ValueKind kind, const String8& value) {
    reporter.keyApplied({section, record, handler, key, kind, value});
}

void KeyContext::copied(ConfigSection source, const char* name) {
    reporter.copied({source, name, section, record});
}

}  // namespace xel
}  // namespace ornak
