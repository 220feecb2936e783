#define LOG_TAG "LyrDebugService"

#include "detect/KeyWordMatcher.h"

#include <log/log.h>

namespace ornak {
namespace xel {

const KeyWordIndex& keyWordIndexOf(const LyrDebugService& service) {
    static const KeyWordIndex* const kNoKeyWords = new KeyWordIndex();
    return service.mKeyWordIndex != nullptr ? *service.mKeyWordIndex : *kNoKeyWords;
}

void sendKeyWordEvents(KeyWordScan& scan, EventChannel& channel, const char* text) {
    scan.match(text, [&channel](const String8& name) {
        // A failed send has logged its own error.
        if (channel.send(name.c_str())) ALOGD("Send msg from channel 1: %s", name.c_str());
    });
}

}  // namespace xel
}  // namespace ornak
