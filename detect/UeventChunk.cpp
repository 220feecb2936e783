#define LOG_TAG "LyrDebugService"

#include "detect/UeventChunk.h"

#include <string.h>

#include <log/log.h>

namespace ornak {
namespace xel {
namespace {

constexpr char kEventKey[] = "LYRD_EVENT";

bool listed(const Vector<String8>& names, const String8& name) {
    for (const String8& each : names) {
        if (each == name) return true;
    }
    return false;
}

}  // namespace

String8 ueventValue(const char* chunk, size_t count) {
    String8 value;
    // The first record is the header ("action@devpath"), never a key.
    size_t pos = strnlen(chunk, count) + 1;
    while (pos < count) {
        const char* record = chunk + pos;
        size_t length = strnlen(record, count - pos);
        if (length == 0) break;
        pos += length + 1;

        if (memmem(record, length, kEventKey, sizeof(kEventKey) - 1) == nullptr) continue;
        const char* equals = static_cast<const char*>(memchr(record, '=', length));
        if (equals == nullptr) continue;
        size_t valueLength = length - static_cast<size_t>(equals + 1 - record);
        if (valueLength > kMaxUeventValue) valueLength = kMaxUeventValue;
        value.setTo(equals + 1, valueLength);
    }
    return value;
}

size_t dispatchUevent(const Vector<LyrDebugService::Monitor>& monitors, const char* chunk,
                      size_t count, const EventSink& sink) {
    String8 value = ueventValue(chunk, count);
    if (value.isEmpty()) return 0;
    ALOGD("Receive uevent: %s", value.c_str());

    Vector<String8> dispatched;
    for (const LyrDebugService::Monitor& monitor : monitors) {
        if (!monitor.mEnabled) continue;
        for (const LyrDebugService::Event& event : monitor.mEvents) {
            if (listed(dispatched, event.mName) || !listed(event.mUevents, value)) continue;
            dispatched.add(event.mName);
            sink(event.mName.c_str());
            ALOGD("Receive uevent, dump log for event: %s", event.mName.c_str());
        }
    }
    return dispatched.size();
}

}  // namespace xel
}  // namespace ornak
