// sendEvent calls per second through the host binder transport, from one
// and from four client threads, each with its own proxy, against an
// in-process service. The event's policy is "once" and it has been dumped
// already, so the monitor thread refuses every call at once: the figures
// are the cost of the transport, the channel and the refusal, not of a
// dump. Log records are counted and dropped, so that standard error does
// not set the pace; the refusals the monitor thread logged are set against
// the calls made.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <android/log.h>
#include <binder/IServiceManager.h>
#include <binder/Parcel.h>
#include <binder/ProcessState.h>
#include <binder/host_binder.h>
#include <log/host_log.h>

#include "service/LyrDebugService.h"

namespace {

namespace fs = std::filesystem;
using namespace android;
using Clock = std::chrono::steady_clock;
using ornak::xel::LyrDebugService;

constexpr auto kRunTime = std::chrono::seconds(3);
constexpr const char* kServiceName = "lyrd";
constexpr const char* kEventName = "bench_once";
// How long the monitor thread may fall silent before its backlog counts as
// done, and how long the first dump may take.
constexpr int kQuietMs = 2000;
constexpr int kFirstDumpMs = 10000;

std::atomic<long> records{0};
std::atomic<long> refusals{0};
std::atomic<long> notifications{0};

void countRecord(int prio, const char* tag, const char* message) {
    ++records;
    static const std::string kRefusal = std::string("Dump policy for event ") + kEventName +
                                        " is ONCE, we already dumpped once";
    if (prio == ANDROID_LOG_DEBUG && strcmp(tag, "LyrDebugService") == 0 &&
        kRefusal.compare(message) == 0) {
        ++refusals;
    } else if (strcmp(tag, "LCT") == 0) {
        ++notifications;
    }
}

// The real calls, except that free space is asked of the bench's own
// folder: a workstation may have no "/data".
class BenchSystemCalls : public ornak::xel::SystemCalls {
  public:
    explicit BenchSystemCalls(std::string root) : mRoot(std::move(root)) {}
    int statFs(const char*, struct statfs* out) override { return ::statfs(mRoot.c_str(), out); }

  private:
    std::string mRoot;
};

// One enabled monitor holding one event that may be dumped once; no
// detection thread, and no space limit that could refuse first.
std::string configText(const std::string& root) {
    const std::string event(kEventName);
    std::string text;
    text += "global.log_dump_path=" + root + "/dumps\n";
    text += "global.logcat_grep=0\n";
    text += "global.kmsg_grep=0\n";
    text += "global.min_free_space=0\n";
    text += "global.max_dump_space=1024\n";
    text += "event." + event + ".policy=once\n";
    text += "monitor.bench.enable=1\n";
    text += "monitor.bench.event=" + event + "\n";
    return text;
}

// One sendEvent transaction; the service's answer, or the transport's
// failure.
status_t sendEvent(const sp<IBinder>& service, int32_t* answer) {
    Parcel data;
    Parcel reply;
    data.writeInterfaceToken(String16("ornak.xel.lyrd"));
    data.writeString16(String16(kEventName));
    status_t status = service->transact(IBinder::FIRST_CALL_TRANSACTION, data, &reply);
    if (status != NO_ERROR) return status;
    return reply.readInt32(answer);
}

// How far a counter got, and when it last moved.
struct Progress {
    long count;
    Clock::time_point lastChange;
};

// Polls counter until it reaches target or stays still for quietMs.
Progress waitForCount(const std::atomic<long>& counter, long target, int quietMs) {
    Progress progress{counter.load(), Clock::now()};
    while (progress.count < target &&
           Clock::now() - progress.lastChange < std::chrono::milliseconds(quietMs)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        long now = counter.load();
        if (now != progress.count) progress = {now, Clock::now()};
    }
    return progress;
}

struct Tally {
    long accepted = 0;  // answered 0: the name went into the channel
    long other = 0;     // any other answer (a channel that did not take it)
    bool failed = false;
};

// Runs clients threads for kRunTime and prints their rate and what the
// monitor thread made of their calls; false when a transaction failed or
// refusals went missing.
bool measure(int clients) {
    std::atomic<bool> stop{false};
    std::vector<Tally> tallies(static_cast<size_t>(clients));
    std::vector<std::thread> threads;
    long refusalsBefore = refusals.load();
    long recordsBefore = records.load();
    for (Tally& tally : tallies) {
        threads.emplace_back([&stop, &tally] {
            sp<IBinder> service = defaultServiceManager()->checkService(String16(kServiceName));
            if (service == nullptr) {
                tally.failed = true;
                return;
            }
            while (!stop) {
                int32_t answer = 0;
                if (sendEvent(service, &answer) != NO_ERROR) {
                    tally.failed = true;
                    return;
                }
                ++(answer == NO_ERROR ? tally.accepted : tally.other);
            }
        });
    }
    auto start = Clock::now();
    std::this_thread::sleep_for(kRunTime);
    stop = true;
    for (std::thread& thread : threads) thread.join();
    auto clientsDone = Clock::now();
    double seconds = std::chrono::duration<double>(clientsDone - start).count();

    Tally total;
    for (const Tally& tally : tallies) {
        total.accepted += tally.accepted;
        total.other += tally.other;
        total.failed = total.failed || tally.failed;
    }
    long calls = total.accepted + total.other;
    Progress monitor = waitForCount(refusals, refusalsBefore + total.accepted, kQuietMs);
    long logged = monitor.count - refusalsBefore;
    double lag = std::chrono::duration<double>(monitor.lastChange - clientsDone).count();

    printf("sendEvent, %d client thread(s): %.0f calls per second (%ld calls, %ld answered 0)\n",
           clients, static_cast<double>(calls) / seconds, calls, total.accepted);
    printf("  monitor thread: %ld refusals logged for %ld calls, the last %.3f s after the "
           "last call; %.1f log records per call\n",
           logged, calls, std::max(0.0, lag),
           calls > 0 ? static_cast<double>(records.load() - recordsBefore) / calls : 0.0);
    if (total.failed) fprintf(stderr, "a transaction failed with %d client thread(s)\n", clients);
    return !total.failed && logged == total.accepted;
}

// The first call dumps the event; every later one is refused.
bool dumpOnce() {
    sp<IBinder> service = defaultServiceManager()->checkService(String16(kServiceName));
    int32_t answer = -1;
    if (service == nullptr || sendEvent(service, &answer) != NO_ERROR || answer != NO_ERROR) {
        return false;
    }
    return waitForCount(notifications, 1, kFirstDumpMs).count == 1;
}

int run(const std::string& root) {
    std::string configPath = root + "/lyrdebug.conf";
    std::ofstream(configPath) << configText(root);
    host::setBinderServiceDir(root + "/hostbinder");
    ProcessState::self()->startThreadPool();

    BenchSystemCalls system(root);
    sp<LyrDebugService> service = new LyrDebugService(configPath.c_str(), system);
    if (service->mStopped != 0) {
        fprintf(stderr, "the service did not start; its configuration is %s\n", configPath.c_str());
        return 1;
    }
    if (defaultServiceManager()->addService(String16(kServiceName), service) != NO_ERROR) {
        fprintf(stderr, "cannot publish the service in %s\n", root.c_str());
        return 1;
    }
    if (!dumpOnce()) {
        fprintf(stderr, "the first dump of %s did not happen\n", kEventName);
        return 1;
    }
    int status = 0;
    for (int clients : {1, 4}) {
        if (!measure(clients)) status = 1;
    }
    return status;
}

}  // namespace

int main() {
    host::setLogSink(countRecord);
    std::string root = (fs::temp_directory_path() / "lyrd-bench-XXXXXX").string();
    if (mkdtemp(root.data()) == nullptr) {
        perror("mkdtemp");
        return 1;
    }
    int status = run(root);
    std::error_code ignored;
    fs::remove_all(root, ignored);
    fflush(stdout);
    fflush(stderr);
    // The binder pool and the service's worker threads never end; leaving
    // with _exit keeps static destructors from running under them.
    _exit(status);
}
