#define LOG_TAG "LyrDebugService"

#include "detect/KeyWordMatcher.h"

#include <string.h>

#include <log/log.h>

namespace ornak {
namespace xel {
namespace {

bool listed(const Vector<String8>& names, const String8& name) {
    for (const String8& each : names) {
        if (each == name) return true;
    }
    return false;
}

bool hasKeyWord(const LyrDebugService::Event& event, const char* text) {
    for (const String8& keyWord : event.mKeyWords) {
        if (strstr(text, keyWord.c_str()) != nullptr) return true;
    }
    return false;
}

}  // namespace

void sendKeyWordEvents(const Vector<LyrDebugService::Monitor>& monitors, EventChannel& channel,
                       const char* text) {
    Vector<String8> sent;
    for (const LyrDebugService::Monitor& monitor : monitors) {
        if (!monitor.mEnabled) continue;
        for (const LyrDebugService::Event& event : monitor.mEvents) {
            if (listed(sent, event.mName) || !hasKeyWord(event, text)) continue;
            // A failed send has logged its own error.
            if (channel.send(event.mName.c_str())) {
                ALOGD("Send msg from channel 1: %s", event.mName.c_str());
            }
            sent.add(event.mName);
        }
    }
}

}  // namespace xel
}  // namespace ornak
