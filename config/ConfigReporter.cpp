#include "config/ConfigReporter.h"

namespace ornak {
namespace xel {

void report(ConfigReporter& reporter, int priority, const char* format, ...) {
    va_list args;
    va_start(args, format);
    reporter.log(priority, format, args);
    va_end(args);
}

}  // namespace xel
}  // namespace ornak
