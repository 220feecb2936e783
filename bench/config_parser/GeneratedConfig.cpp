#include "GeneratedConfig.h"

#include <algorithm>

namespace lyrd_bench {
namespace {

constexpr int kMonitors = 10;
constexpr int kEventsPerGroup = 100;

// Appends one line and counts it.
struct ConfigText {
    std::string text;
    int lines = 0;
    void add(const std::string& line) {
        text += line + "\n";
        ++lines;
    }
};

void addHandler(ConfigText& c, int h) {
    std::string p = "handler.h" + std::to_string(h) + ".";
    c.add("// handler " + std::to_string(h));
    c.add(p + "init=setprop debug.lyr.h" + std::to_string(h) + " 1");
    c.add(p + "dump=cat /proc/h" + std::to_string(h) + ".txt > h.txt");
    c.add(p + "on=1");
    c.add(p + "level=" + std::to_string(h % 100));
    c.add(p + "dpara=\"-b main\"");
}

void addEvent(ConfigText& c, int e, int handlers) {
    std::string name = "ev" + std::to_string(e);
    std::string p = "event." + name + ".";
    c.add("// event " + name);
    c.add(p + "uevent=" + name);
    c.add(p + "key_word=failure in " + name);
    c.add(p + "policy=" + (e % 3 == 0 ? "once" : "always"));
    c.add(p + "handler.h" + std::to_string(e % handlers) + ".on=1");
    c.add(p + "handler.h" + std::to_string(e % handlers) + ".level=10");
    c.add(p + "handler.h" + std::to_string((e + 7) % handlers) + ".dpara=extra");
}

}  // namespace

std::string generateConfig(int lines) {
    const int handlers = std::max(1, lines / 100);
    const int events = lines / 10;
    const int groups = std::max(1, events / kEventsPerGroup);
    ConfigText c;
    c.add("// generated configuration");
    c.add("global.log_dump_path=/data/lyr");
    c.add("global.max_dump_count=20");
    c.add("global.max_dump_space=2048");
    c.add("global.min_free_space=256");
    c.add("global.kmsg_grep=1");
    for (int h = 0; h < handlers; ++h) addHandler(c, h);
    for (int e = 0; e < events; ++e) addEvent(c, e, handlers);
    for (int e = 0; e < events; ++e) {
        c.add("evtgroup.g" + std::to_string(e % groups) + ".event=ev" + std::to_string(e));
    }
    for (int m = 0; m < kMonitors; ++m) {
        std::string p = "monitor.m" + std::to_string(m) + ".";
        c.add(p + "enable=" + std::to_string(m % 2));
        c.add(p + "level=" + std::to_string(m * 10));
        c.add(p + "evtgroup=g" + std::to_string(m % groups));
        c.add(p + "evtgroup=g" + std::to_string((m + kMonitors) % groups));
    }
    for (int i = 0; c.lines < lines; ++i) {
        c.add("monitor.m" + std::to_string(i % kMonitors) + ".event=ev" +
              std::to_string((i * 37) % events));
    }
    return c.text;
}

}  // namespace lyrd_bench
