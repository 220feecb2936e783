#include "KeyWordConfig.h"

#include <stdio.h>

#include <map>

namespace lyrd_bench {
namespace {

constexpr const char* kParts[] = {"display", "modem",   "gpu",     "camera", "audio",
                                  "wlan",    "sensors", "thermal", "ufs",    "usb"};
constexpr const char* kFaults[] = {"hang",          "fault",          "timeout",       "crash",
                                   "watchdog bite", "reset storm",    "fifo underrun", "overheat",
                                   "bus lockup",    "firmware assert"};
constexpr size_t kPartCount = sizeof(kParts) / sizeof(kParts[0]);
constexpr size_t kFaultCount = sizeof(kFaults) / sizeof(kFaults[0]);

}  // namespace

std::vector<std::string> makeKeyWords(size_t count) {
    std::vector<std::string> keyWords;
    keyWords.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        char code[24];
        snprintf(code, sizeof(code), "%02zu", i / (kPartCount * kFaultCount));
        keyWords.push_back(std::string(kParts[i % kPartCount]) + " " +
                           kFaults[i / kPartCount % kFaultCount] + " code " + code);
    }
    return keyWords;
}

std::string eventNameOf(size_t index, int monitors) {
    size_t monitor = index % static_cast<size_t>(monitors);
    size_t event = index / static_cast<size_t>(monitors) / kKeyWordsPerEvent;
    return "m" + std::to_string(monitor) + "_e" + std::to_string(event);
}

std::string makeKeyWordConfig(const std::vector<std::string>& keyWords, int monitors,
                              const std::string& dumpPath) {
    std::string text = "// generated: " + std::to_string(keyWords.size()) + " key words over " +
                       std::to_string(monitors) + " monitors\n";
    text += "global.log_dump_path=" + dumpPath + "\n";
    text += "global.logcat_grep=0\n";
    text += "global.kmsg_grep=0\n";
    // Event lines first: a monitor takes a copy of an event as it stands.
    std::map<int, std::vector<std::string>> eventsOfMonitor;
    for (size_t i = 0; i < keyWords.size(); ++i) {
        std::string event = eventNameOf(i, monitors);
        text += "event." + event + ".key_word=" + keyWords[i] + "\n";
        std::vector<std::string>& events =
                eventsOfMonitor[static_cast<int>(i % static_cast<size_t>(monitors))];
        if (events.empty() || events.back() != event) events.push_back(event);
    }
    for (int m = 0; m < monitors; ++m) {
        std::string prefix = "monitor.m" + std::to_string(m) + ".";
        text += prefix + "enable=1\n";
        text += prefix + "level=50\n";
        for (const std::string& event : eventsOfMonitor[m]) {
            text += prefix + "event=" + event + "\n";
        }
    }
    return text;
}

}  // namespace lyrd_bench
