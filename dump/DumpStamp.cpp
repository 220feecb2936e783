#include "dump/DumpStamp.h"

#include <stdlib.h>
#include <string.h>

namespace ornak {
namespace xel {

bool readDumpStamp(const char* name, uint64_t& stamp) {
    size_t length = strlen(name);
    if (length < kDumpStampTailLength) return false;
    const char* date = name + length - kDumpStampTailLength;
    const char* time = name + length - 7;
    if (date[0] != '_' || time[0] != '_') return false;

    char digits[15];
    memcpy(digits, date + 1, 8);
    memcpy(digits + 8, time + 1, 6);
    digits[14] = '\0';
    stamp = static_cast<uint64_t>(atoll(digits));
    return true;
}

}  // namespace xel
}  // namespace ornak
