// Latency of one dump of an event whose only handler runs `true` through the
// real shell, against dump trees of 10 and 1,000 earlier dumps of 20 files
// each, and the share of it spent weighing the tree (getDirSize alone).
#include <stdlib.h>
#include <string.h>
#include <sys/statfs.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include <benchmark/benchmark.h>
#include <log/host_log.h>

#include "config/Event.h"
#include "config/Handler.h"
#include "dump/DirSize.h"
#include "service/LyrDebugService.h"

namespace {

namespace fs = std::filesystem;
using ornak::xel::LyrDebugService;
using ornak::xel::SystemCalls;

constexpr int kFilesPerDump = 20;

// The real shell; a fixed clock, so every dump of a run goes into the same
// folder and the tree keeps its size; plenty of free space.
class BenchSystemCalls : public SystemCalls {
  public:
    time_t now() override { return 1796454909; }
    int statFs(const char*, struct statfs* out) override {
        memset(out, 0, sizeof(*out));
        out->f_bsize = 4096;
        out->f_bfree = 1 << 24;
        return 0;
    }
};

// Dump trees by number of dumps, made on first use and kept for the run.
std::map<int, std::string> trees;

const std::string& dumpTree(int dumps) {
    auto found = trees.find(dumps);
    if (found != trees.end()) return found->second;
    std::string root = (fs::temp_directory_path() / "lyrd-bench-XXXXXX").string();
    if (mkdtemp(root.data()) == nullptr) abort();
    std::string content(1024, 'l');
    for (int d = 0; d < dumps; ++d) {
        char name[64];
        snprintf(name, sizeof(name), "old_event_2026010%d_%06d", 1 + d / 100000, d % 100000);
        fs::path folder = fs::path(root) / name;
        fs::create_directory(folder);
        for (int f = 0; f < kFilesPerDump; ++f) {
            std::ofstream(folder / ("log" + std::to_string(f) + ".txt")) << content;
        }
    }
    return trees.emplace(dumps, root).first->second;
}

void BM_DumpEvent(benchmark::State& state) {
    const std::string& tree = dumpTree(static_cast<int>(state.range(0)));
    std::string config = tree + ".conf";
    std::ofstream(config).flush();
    BenchSystemCalls system;
    android::sp<LyrDebugService> service = new LyrDebugService(config.c_str(), system);
    service->mLogDumpPath = tree.c_str();
    service->mMinFreeSpace = 0;
    service->mMaxDumpSpace = 1u << 30;
    LyrDebugService::Handler handler;
    handler.mName = "true";
    handler.mDumpCmd = "true";
    handler.mLevel = 0;
    handler.mEnabled = true;
    LyrDebugService::Event event;
    event.mName = "bench";
    event.mHandlers.add(handler);
    service->mEvents.add(event);

    for (auto _ : state) service->dumpEvent("bench");

    fs::remove_all(tree + "/bench_20261205_071509");
    fs::remove(config);
}

void BM_GetDirSize(benchmark::State& state) {
    const std::string& tree = dumpTree(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        int64_t total = 0;
        ornak::xel::getDirSize(tree.c_str(), total);
        benchmark::DoNotOptimize(total);
    }
}

BENCHMARK(BM_DumpEvent)
        ->Arg(10)
        ->Arg(1000)
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
BENCHMARK(BM_GetDirSize)
        ->Arg(10)
        ->Arg(1000)
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    // The dump's progress records would swamp the figures.
    android::host::setLogSink([](int, const char*, const char*) {});
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const auto& tree : trees) fs::remove_all(tree.second);
    return 0;
}
