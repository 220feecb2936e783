#define LOG_TAG "LyrDebugService"

#include "detect/KeyWordMatcher.h"

#include <log/log.h>

namespace ornak {
namespace xel {

const KeyWordIndex& keyWordIndexOf(const LyrDebugService& service) {
    static const KeyWordIndex* const kNoKeyWords = new KeyWordIndex();
    return service.mKeyWordIndex != nullptr ? *service.mKeyWordIndex : *kNoKeyWords;
}

size_t sendKeyWordEvents(KeyWordScan& scan, EventChannel& channel, const char* text, int exitFd) {
    size_t sent = 0;
    scan.match(text, [&](const String8& name) {
        // A failed send has logged its own error; without a reader nothing
        // is logged at all.
        if (channel.sendWhileReaderLives(name.c_str(), exitFd) == EventChannel::Outcome::kSent) {
            ALOGD("Send msg from channel 1: %s", name.c_str());
            ++sent;
        }
    });
    return sent;
}

}  // namespace xel
}  // namespace ornak
