#include "dump/DumpFolderName.h"

#include <stdlib.h>
#include <string.h>

namespace ornak {
namespace xel {

bool makeDumpFolderName(const char* event, time_t now, android::String8& name) {
    struct tm utc;
    if (gmtime_r(&now, &utc) == nullptr) return false;
    name = android::String8::format("%s_%d%02d%02d_%02d%02d%02d", event, utc.tm_year + 1900,
                                    utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min,
                                    utc.tm_sec);
    return true;
}

bool readDumpStamp(const char* name, uint64_t& stamp) {
    size_t length = strlen(name);
    if (length < kDumpStampTailLength) return false;
    const char* date = name + length - kDumpStampTailLength;
    const char* time = date + 1 + kDumpDateDigits;
    if (date[0] != '_' || time[0] != '_') return false;

    char digits[kDumpDateDigits + kDumpTimeDigits + 1];
    memcpy(digits, date + 1, kDumpDateDigits);
    memcpy(digits + kDumpDateDigits, time + 1, kDumpTimeDigits);
    digits[kDumpDateDigits + kDumpTimeDigits] = '\0';
    stamp = static_cast<uint64_t>(atoll(digits));
    return true;
}

}  // namespace xel
}  // namespace ornak
