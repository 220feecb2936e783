#define LOG_TAG "LyrDebugService"

#include "detect/InternalEventReader.h"

#include <log/log.h>

namespace ornak {
namespace xel {
namespace {

bool endsName(char c) {
    return c == '\n' || c == '\0';
}

}  // namespace

InternalEventReader::InternalEventReader() {
    // Sized once so that receives of the monitor thread never allocate.
    mBuffer.reserve(kMaxPendingName + kReceiveSize + 1);
}

void InternalEventReader::receive(const char* bytes, size_t count, const EventSink& sink) {
    mBuffer.append(bytes, count);
    const size_t size = mBuffer.size();
    char* text = mBuffer.data();

    size_t offset = 0;  // where the search for the next name begins
    size_t handed = 0;  // names handed on from this receive
    auto handOn = [&](size_t start, size_t end) {
        text[end] = '\0';
        if (handed++ > 0) {
            ALOGD("Receive internal event: %s, curSize: %d, mMsgSize: %d", text + start,
                  static_cast<int>(offset), static_cast<int>(size));
        }
        sink(text + start);
    };

    for (;;) {
        size_t start = offset;
        while (start < size && endsName(text[start])) ++start;
        size_t end = start;
        while (end < size && !endsName(text[end])) ++end;
        if (end == size) {
            // The name has no end yet: keep it for the next receive, unless
            // it has grown too long to be a name worth waiting for.
            if (end - start > kMaxPendingName) {
                mBuffer.push_back('\0');
                text = mBuffer.data();
                handOn(start, end);
                mBuffer.clear();
                return;
            }
            mBuffer.erase(0, start);
            return;
        }
        handOn(start, end);
        offset = end + 1;
    }
}

}  // namespace xel
}  // namespace ornak
