#define LOG_TAG "LyrDebugService"

#include "config/ParserSupport.h"

#include <log/log.h>

namespace ornak {
namespace xel {

android::status_t failAtSite(int site, const char* line) {
    ALOGE("Config file parsing error at line %d: %s", site, line);
    return android::BAD_VALUE;
}

android::status_t failSetValue(int site) {
    ALOGE("Set value failed at line %d", site);
    return android::BAD_VALUE;
}

int matchKeyWord(const char* word, const char* const* keys) {
    for (int i = 0; keys[i] != nullptr; ++i) {
        if (startsWith(word, keys[i])) return i;
    }
    return -1;
}

}  // namespace xel
}  // namespace ornak
