// Parsing speed and memory for generated configurations of 2,000 and
// 20,000 lines (about one handler, ten events and their group lines per
// hundred lines, ten monitors), and the start-up work that depends on the
// configuration's size for the 20,000-line one: parsing, then building the
// key-word index. The last line compares the time per line of the two
// sizes: a parse whose look-ups walk lists grows faster than the file.
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <map>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>
#include <log/host_log.h>

#include "GeneratedConfig.h"
#include "config/Event.h"
#include "config/Monitor.h"
#include "detect/KeyWordIndex.h"
#include "service/LyrDebugService.h"

namespace {

using ornak::xel::LyrDebugService;
using ornak::xel::SystemCalls;

class NoShell : public SystemCalls {
  public:
    int runShell(const char*) override { return 0; }
};

std::string writeTemp(const std::string& text) {
    char path[] = "/tmp/bench-config-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) abort();
    FILE* file = fdopen(fd, "w");
    if (file == nullptr || fwrite(text.data(), 1, text.size(), file) != text.size()) abort();
    fclose(file);
    return path;
}

// A generated configuration file of each size, kept for the whole run.
const std::string& configFile(int lines) {
    static std::map<int, std::string> files;
    auto found = files.find(lines);
    if (found == files.end()) {
        found = files.emplace(lines, writeTemp(lyrd_bench::generateConfig(lines))).first;
    }
    return found->second;
}

const char* emptyFile() {
    static const std::string path = writeTemp("");
    return path.c_str();
}

// Times step on a fresh service for every iteration; the service is made
// and destroyed outside the timing.
template <typename Step>
void timeOnFreshServices(benchmark::State& state, Step step) {
    android::host::setLogSink([](int, const char*, const char*) {});
    NoShell shell;
    for (auto _ : state) {
        state.PauseTiming();
        android::sp<LyrDebugService> service = new LyrDebugService(emptyFile(), shell);
        state.ResumeTiming();
        if (!step(*service)) state.SkipWithError("parse failed");
        state.PauseTiming();
        service.clear();
        state.ResumeTiming();
    }
    android::host::setLogSink(nullptr);
    const double lines = static_cast<double>(state.range(0));
    state.counters["ns_per_line"] = benchmark::Counter(
            lines, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_kib"] = static_cast<double>(usage.ru_maxrss);
}

void BM_ParseConfig(benchmark::State& state) {
    const std::string& config = configFile(static_cast<int>(state.range(0)));
    timeOnFreshServices(state, [&](LyrDebugService& service) {
        return service.parseConfigFile(config.c_str()) == 0;
    });
}
BENCHMARK(BM_ParseConfig)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_StartUpParseAndKeyWordIndex(benchmark::State& state) {
    const std::string& config = configFile(static_cast<int>(state.range(0)));
    timeOnFreshServices(state, [&](LyrDebugService& service) {
        if (service.parseConfigFile(config.c_str()) != 0) return false;
        ornak::xel::KeyWordIndex index(service.mMonitors);
        benchmark::DoNotOptimize(index.keyWordCount());
        return true;
    });
}
BENCHMARK(BM_StartUpParseAndKeyWordIndex)->Arg(20000)->Unit(benchmark::kMillisecond);

// Prints as usual and keeps each run's time per line.
class PerLineReporter : public benchmark::ConsoleReporter {
  public:
    PerLineReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            auto counter = run.counters.find("ns_per_line");
            if (counter != run.counters.end()) mPerLine[run.benchmark_name()] = counter->second;
        }
    }
    double perLine(const std::string& name) const {
        auto found = mPerLine.find(name);
        return found != mPerLine.end() ? found->second.value : 0;
    }

  private:
    std::map<std::string, benchmark::Counter> mPerLine;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    PerLineReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double small = reporter.perLine("BM_ParseConfig/2000");
    double large = reporter.perLine("BM_ParseConfig/20000");
    if (small > 0 && large > 0) {
        printf("parse: time per line at 20000 lines / at 2000 lines %.2f\n", large / small);
    }
    for (const std::string* file : {&configFile(2000), &configFile(20000)}) remove(file->c_str());
    remove(emptyFile());
    return 0;
}
