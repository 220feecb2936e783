// Builds monitors, events and key words from the input, then a few texts,
// and aborts when the key-word index and the plain scan send different
// names, or the same names in another order.
#include <stdint.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "config/Event.h"
#include "config/Monitor.h"
#include "detect/KeyWordIndex.h"
#include "tests/detect/KeyWordReference.h"

namespace {

using ornak::xel::KeyWordIndex;
using ornak::xel::KeyWordScan;
using ornak::xel::LyrDebugService;

android::Vector<LyrDebugService::Monitor> takeMonitors(FuzzedDataProvider& input) {
    android::Vector<LyrDebugService::Monitor> monitors;
    int count = input.ConsumeIntegralInRange(1, 4);
    for (int m = 0; m < count; ++m) {
        LyrDebugService::Monitor& monitor = monitors.editItemAt(monitors.add());
        monitor.mEnabled = input.ConsumeBool();
        int events = input.ConsumeIntegralInRange(0, 6);
        for (int e = 0; e < events; ++e) {
            LyrDebugService::Event& event = monitor.mEvents.editItemAt(monitor.mEvents.add());
            event.mName = std::to_string(input.ConsumeIntegralInRange(0, 7)).c_str();
            int keyWords = input.ConsumeIntegralInRange(0, 4);
            for (int k = 0; k < keyWords; ++k) {
                event.mKeyWords.add(android::String8(input.ConsumeRandomLengthString(24).c_str()));
            }
        }
    }
    return monitors;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    android::Vector<LyrDebugService::Monitor> monitors = takeMonitors(input);
    KeyWordIndex index(monitors);
    KeyWordScan scan(index);
    while (input.remaining_bytes() > 0) {
        std::string text = input.ConsumeRandomLengthString(512);
        std::vector<std::string> names;
        scan.match(text.c_str(),
                   [&](const android::String8& name) { names.push_back(name.c_str()); });
        if (names != lyrd_test::referenceKeyWordNames(monitors, text.c_str())) abort();
    }
    return 0;
}
