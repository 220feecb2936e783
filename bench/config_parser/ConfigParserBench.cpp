// Parsing speed and memory for a large configuration: 20,000 lines with
// 200 handlers, 2,000 events, 20 event groups and 10 monitors.
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <string>

#include <benchmark/benchmark.h>
#include <log/host_log.h>

#include "config/Event.h"
#include "config/EventGroup.h"
#include "config/Handler.h"
#include "config/Monitor.h"
#include "service/LyrDebugService.h"

namespace {

using ornak::xel::LyrDebugService;
using ornak::xel::SystemCalls;

constexpr int kLines = 20000;
constexpr int kHandlers = 200;
constexpr int kEvents = 2000;
constexpr int kGroups = 20;
constexpr int kMonitors = 10;

class NoShell : public SystemCalls {
  public:
    int runShell(const char*) override { return 0; }
};

// Appends one line and counts it.
struct ConfigText {
    std::string text;
    int lines = 0;
    void add(const std::string& line) {
        text += line + "\n";
        ++lines;
    }
};

std::string generateConfig() {
    ConfigText c;
    c.add("// generated configuration");
    c.add("global.log_dump_path=/data/lyr");
    c.add("global.max_dump_count=20");
    c.add("global.max_dump_space=2048");
    c.add("global.min_free_space=256");
    c.add("global.kmsg_grep=1");
    for (int h = 0; h < kHandlers; ++h) {
        std::string p = "handler.h" + std::to_string(h) + ".";
        c.add("// handler " + std::to_string(h));
        c.add(p + "init=setprop debug.lyr.h" + std::to_string(h) + " 1");
        c.add(p + "dump=cat /proc/h" + std::to_string(h) + ".txt > h.txt");
        c.add(p + "on=1");
        c.add(p + "level=" + std::to_string(h % 100));
        c.add(p + "dpara=\"-b main\"");
    }
    for (int e = 0; e < kEvents; ++e) {
        std::string name = "ev" + std::to_string(e);
        std::string p = "event." + name + ".";
        c.add("// event " + name);
        c.add(p + "uevent=" + name);
        c.add(p + "key_word=failure in " + name);
        c.add(p + "policy=" + (e % 3 == 0 ? "once" : "always"));
        c.add(p + "handler.h" + std::to_string(e % kHandlers) + ".on=1");
        c.add(p + "handler.h" + std::to_string(e % kHandlers) + ".level=10");
        c.add(p + "handler.h" + std::to_string((e + 7) % kHandlers) + ".dpara=extra");
    }
    for (int e = 0; e < kEvents; ++e) {
        c.add("evtgroup.g" + std::to_string(e % kGroups) + ".event=ev" + std::to_string(e));
    }
    for (int m = 0; m < kMonitors; ++m) {
        std::string p = "monitor.m" + std::to_string(m) + ".";
        c.add(p + "enable=" + std::to_string(m % 2));
        c.add(p + "level=" + std::to_string(m * 10));
        c.add(p + "evtgroup=g" + std::to_string(m));
        c.add(p + "evtgroup=g" + std::to_string(m + kMonitors));
    }
    for (int i = 0; c.lines < kLines; ++i) {
        c.add("monitor.m" + std::to_string(i % kMonitors) + ".event=ev" +
              std::to_string((i * 37) % kEvents));
    }
    return c.text;
}

std::string writeTemp(const std::string& text) {
    char path[] = "/tmp/bench-config-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) abort();
    FILE* file = fdopen(fd, "w");
    if (file == nullptr || fwrite(text.data(), 1, text.size(), file) != text.size()) abort();
    fclose(file);
    return path;
}

void BM_ParseLargeConfig(benchmark::State& state) {
    android::host::setLogSink([](int, const char*, const char*) {});
    NoShell shell;
    std::string empty = writeTemp("");
    std::string config = writeTemp(generateConfig());
    for (auto _ : state) {
        state.PauseTiming();
        android::sp<LyrDebugService> service = new LyrDebugService(empty.c_str(), shell);
        state.ResumeTiming();
        if (service->parseConfigFile(config.c_str()) != 0) state.SkipWithError("parse failed");
        benchmark::DoNotOptimize(service->mMonitors.size());
        state.PauseTiming();
        service.clear();
        state.ResumeTiming();
    }
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["lines_per_second"] = benchmark::Counter(
            static_cast<double>(kLines), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_rss_kib"] = static_cast<double>(usage.ru_maxrss);
    remove(config.c_str());
    remove(empty.c_str());
    android::host::setLogSink(nullptr);
}
BENCHMARK(BM_ParseLargeConfig)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
