// The plain key-word scan the index must agree with: every enabled
// monitor, every event copy, every key word, one substring search each.
#pragma once

#include <string.h>

#include <string>
#include <vector>

#include "config/Monitor.h"
#include "service/LyrDebugService.h"

namespace lyrd_test {

inline std::vector<std::string> referenceKeyWordNames(
        const android::Vector<ornak::xel::LyrDebugService::Monitor>& monitors, const char* text) {
    std::vector<std::string> sent;
    for (const auto& monitor : monitors) {
        if (!monitor.mEnabled) continue;
        for (const auto& event : monitor.mEvents) {
            std::string name = event.mName.c_str();
            bool already = false;
            for (const std::string& each : sent) already = already || each == name;
            if (already) continue;
            for (const auto& keyWord : event.mKeyWords) {
                if (strstr(text, keyWord.c_str()) == nullptr) continue;
                sent.push_back(name);
                break;
            }
        }
    }
    return sent;
}

}  // namespace lyrd_test
