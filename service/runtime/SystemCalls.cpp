#include "service/runtime/SystemCalls.h"

#include <stdlib.h>

namespace ornak {
namespace xel {

SystemCalls::~SystemCalls() = default;

int SystemCalls::runShell(const char* line) {
    return ::system(line);
}

time_t SystemCalls::now() {
    return ::time(nullptr);
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
