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

int takeKey(ConfigLineSplit* split, const char* line, const SectionKeys& keys) {
    const char* keyWord = takeWord(split);
    if (keyWord == nullptr) {
        failAtSite(keys.noKeySite, line);
        return -1;
    }
    int key = matchKeyWord(keyWord, keys.keys);
    if (key < 0) ALOGE("Unknown key word %s in %s section", keyWord, keys.section);
    return key;
}

int matchKeyWord(const char* word, const char* const* keys) {
    for (int i = 0; keys[i] != nullptr; ++i) {
        if (startsWith(word, keys[i])) return i;
    }
    return -1;
}

}  // namespace xel
}  // namespace ornak
