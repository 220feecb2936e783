#include "service/runtime/SystemCalls.h"

#include <stdlib.h>

namespace ornak {
namespace xel {

SystemCalls::~SystemCalls() = default;

int SystemCalls::runShell(const char* line) {
    return ::system(line);
}

ShellOutcome SystemCalls::runShellWithin(const char* line, int limitSeconds) {
    return ornak::xel::runShellWithin(line, limitSeconds);
}

time_t SystemCalls::now() {
    return ::time(nullptr);
}

android::nsecs_t SystemCalls::monotonicTime() {
    return android::systemTime(android::SYSTEM_TIME_MONOTONIC);
}

int SystemCalls::statFs(const char* path, struct statfs* out) {
    return ::statfs(path, out);
}

SystemCalls& SystemCalls::real() {
    static SystemCalls calls;
    return calls;
}

}  // namespace xel
}  // namespace ornak
