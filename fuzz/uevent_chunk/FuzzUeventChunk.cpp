// Scans arbitrary bytes as a uevent datagram, once whole and once cut to
// the 255 bytes the monitor thread receives, each in a buffer of exactly
// that size so that a read past the count is caught. Aborts when the value
// differs from a plain split of the records, is longer than 127 bytes, or
// when the dispatched names are not the distinct names, in order, of the
// enabled monitors' events that list the value (none for a chunk without
// "LYRD_EVENT" or without '=': the key is a substring test, so a record
// such as "XLYRD_EVENT_2=a" counts too).
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>
#include <vector>

#include <log/host_log.h>

#include "config/Event.h"
#include "config/Monitor.h"
#include "detect/InternalEventReader.h"
#include "detect/UeventChunk.h"

namespace {

using ornak::xel::dispatchUevent;
using ornak::xel::kMaxUeventValue;
using ornak::xel::LyrDebugService;
using ornak::xel::ueventValue;

// What one receive of the monitor thread takes.
constexpr size_t kReceiveSize = ornak::xel::InternalEventReader::kReceiveSize;

struct ListedEvent {
    const char* name;
    std::vector<std::string> hints;
};

void addMonitor(android::Vector<LyrDebugService::Monitor>& monitors, bool enabled,
                const std::vector<ListedEvent>& events) {
    LyrDebugService::Monitor& monitor = monitors.editItemAt(monitors.add());
    monitor.mEnabled = enabled;
    for (const ListedEvent& listed : events) {
        LyrDebugService::Event& event = monitor.mEvents.editItemAt(monitor.mEvents.add());
        event.mName = listed.name;
        for (const std::string& hint : listed.hints)
            event.mUevents.add(android::String8(hint.c_str(), hint.size()));
    }
}

// One name in several enabled monitors, a name only a disabled monitor
// lists, hints of exactly the longest value and one byte longer (which no
// value can equal), a hint holding '=' and an enabled monitor without
// events.
android::Vector<LyrDebugService::Monitor> makeMonitors() {
    android::Vector<LyrDebugService::Monitor> monitors;
    addMonitor(monitors, true,
               {{"hang", {"hang", "freeze"}},
                {"modem", {"modem_crash"}},
                {"long", {std::string(kMaxUeventValue, 'v')}},
                {"too_long", {std::string(kMaxUeventValue + 1, 'w')}},
                {"equals", {"a=b"}},
                {"silent", {}}});
    addMonitor(monitors, false, {{"hang", {"hang"}}, {"camera", {"camera", "hang"}}});
    addMonitor(monitors, true, {});
    addMonitor(
            monitors, true,
            {{"hang", {"h", "hang"}}, {"modem", {"freeze"}}, {"gpu", {"gpu", "hang"}}, {"x", {"x"}}});
    return monitors;
}

// The records of the chunk by a plain split at NUL bytes; the first is the
// header, and a chunk that does not end with a NUL ends with a cut record.
std::string referenceValue(const std::string& chunk) {
    std::vector<std::string> records;
    for (size_t start = 0;;) {
        size_t nul = chunk.find('\0', start);
        records.push_back(chunk.substr(start, nul == std::string::npos ? nul : nul - start));
        if (nul == std::string::npos) break;
        start = nul + 1;
    }
    std::string value;
    for (size_t i = 1; i < records.size() && !records[i].empty(); ++i) {
        const std::string& record = records[i];
        size_t equals = record.find('=');
        if (record.find("LYRD_EVENT") == std::string::npos || equals == std::string::npos) continue;
        value = record.substr(equals + 1, kMaxUeventValue);
    }
    return value;
}

bool lists(const android::Vector<android::String8>& hints, const std::string& value) {
    for (const android::String8& hint : hints) {
        if (value == std::string(hint.c_str(), hint.length())) return true;
    }
    return false;
}

void check(const android::Vector<LyrDebugService::Monitor>& monitors, const std::string& chunk) {
    // Exactly count bytes, no terminator: ASan reports any read past them.
    std::unique_ptr<char[]> bytes(new char[chunk.size()]);
    if (!chunk.empty()) memcpy(bytes.get(), chunk.data(), chunk.size());

    android::String8 found = ueventValue(bytes.get(), chunk.size());
    std::string value(found.c_str(), found.length());
    if (value.size() > kMaxUeventValue) abort();
    if (value != referenceValue(chunk)) abort();
    if (value.find('\0') != std::string::npos) abort();

    std::vector<std::string> names;
    dispatchUevent(monitors, bytes.get(), chunk.size(),
                   [&](const char* name) { names.emplace_back(name); });
    bool keyed = chunk.find("LYRD_EVENT") != std::string::npos;
    if ((!keyed || chunk.find('=') == std::string::npos) && !names.empty()) abort();

    std::vector<std::string> expected;
    if (!value.empty()) {
        for (const LyrDebugService::Monitor& monitor : monitors) {
            if (!monitor.mEnabled) continue;
            for (const LyrDebugService::Event& event : monitor.mEvents) {
                std::string name = event.mName.c_str();
                bool seen = false;
                for (const std::string& each : expected) seen = seen || each == name;
                if (!seen && lists(event.mUevents, value)) expected.push_back(name);
            }
        }
    }
    if (names != expected) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const android::Vector<LyrDebugService::Monitor> monitors = [] {
        android::host::setLogSink([](int, const char*, const char*) {});
        return makeMonitors();
    }();

    std::string chunk(reinterpret_cast<const char*>(data), size);
    check(monitors, chunk);
    if (chunk.size() > kReceiveSize) check(monitors, chunk.substr(0, kReceiveSize));
    return 0;
}
