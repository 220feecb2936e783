// Key-word matching through the log-buffer path: log entries per second
// read from the host log buffers, converted to their fields and matched
// against configurations of 10, 100 and 1,000 key words spread over 10
// enabled monitors, every match going to a socket pair that a thread
// drains. The first figure is reading and converting alone.
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <log/host_log.h>
#include <log/logger.h>
#include <log/logprint.h>
#include <utils/UniqueFd.h>

#include "ChannelDrain.h"
#include "KeyWordConfig.h"
#include "LogCorpus.h"
#include "config/Event.h"
#include "config/Monitor.h"
#include "detect/EventChannel.h"
#include "detect/LogEntryMatch.h"
#include "service/LyrDebugService.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using lyrd_bench::LogLine;
using ornak::xel::LyrDebugService;

constexpr size_t kCorpusLines = 100000;
constexpr size_t kHitEvery = 1000;  // 0.1% of the lines hold a key word
constexpr size_t kHitKeyWords = 10;
constexpr int kMonitors = 10;
constexpr int kPasses = 5;
constexpr uint32_t kSeed = 1234567;
constexpr size_t kKeyWordCounts[] = {10, 100, 1000};
constexpr const char* kBuffers[] = {"main", "system", "events", "radio"};
// How long the drain may stay silent before the messages count as lost.
constexpr int kQuietMs = 3000;

using Match = std::function<void(const AndroidLogEntry&)>;

bool makeBufferFiles(const std::string& dir) {
    fs::create_directories(dir);
    for (const char* name : kBuffers) {
        android::UniqueFd fd(
                ::open((dir + "/" + name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        if (!fd.ok()) return false;
    }
    return true;
}

// From a child process, as on a device: the matcher skips the entries that
// its own process wrote.
bool writeCorpusFromChild(const std::vector<LogLine>& corpus) {
    pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) _exit(lyrd_bench::writeLogCorpus(corpus) ? 0 : 1);
    int status = 0;
    if (waitpid(child, &status, 0) != child) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Reads count entries from the oldest on, converting each and handing it
// to match; the seconds it took, or a negative number when an entry could
// not be read or converted.
double timedPass(size_t count, const Match& match) {
    struct logger_list* list =
            android_logger_list_alloc_time(ANDROID_LOG_RDONLY, log_time::EPOCH, 0);
    if (list == nullptr) return -1;
    for (const char* name : kBuffers) android_logger_open(list, android_name_to_log_id(name));
    struct log_msg message;
    AndroidLogEntry entry;
    double seconds = -1;
    auto start = Clock::now();
    size_t done = 0;
    for (; done < count; ++done) {
        if (android_logger_list_read(list, &message) <= 0) break;
        if (android_log_processLogBuffer(&message.entry_v1, &entry) < 0) break;
        match(entry);
    }
    if (done == count) seconds = std::chrono::duration<double>(Clock::now() - start).count();
    android_logger_list_free(list);
    return seconds;
}

// The median of kPasses passes, or a negative number when one failed.
double medianPass(size_t count, const Match& match) {
    std::vector<double> seconds;
    for (int pass = 0; pass < kPasses; ++pass) {
        double taken = timedPass(count, match);
        if (taken < 0) return -1;
        seconds.push_back(taken);
    }
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

void printRate(const std::string& what, double seconds) {
    printf("%-32s %9.0f entries per second (%.2f us per entry)\n", what.c_str(),
           static_cast<double>(kCorpusLines) / seconds, seconds * 1e6 / kCorpusLines);
}

size_t keyWordsOf(const LyrDebugService& service) {
    size_t count = 0;
    for (const LyrDebugService::Monitor& monitor : service.mMonitors) {
        if (!monitor.mEnabled) continue;
        for (const LyrDebugService::Event& event : monitor.mEvents) count += event.mKeyWords.size();
    }
    return count;
}

// Matches the corpus against keyWords; false when the service did not start
// with them or when matches went missing.
bool measureKeyWords(const std::string& root, const std::vector<std::string>& keyWords,
                     size_t hits) {
    std::string configPath = root + "/lyrdebug-" + std::to_string(keyWords.size()) + ".conf";
    std::ofstream(configPath) << lyrd_bench::makeKeyWordConfig(keyWords, kMonitors, root + "/dumps");
    android::sp<LyrDebugService> service =
            new LyrDebugService(configPath.c_str(), ornak::xel::SystemCalls::real());
    std::string label = std::to_string(keyWords.size()) + " key words";
    if (service->mStopped != 0 || keyWordsOf(*service) != keyWords.size()) {
        fprintf(stderr, "%s: the service did not start with every key word\n", label.c_str());
        return false;
    }

    lyrd_bench::ChannelDrain drain;
    if (!drain.ok()) return false;
    ornak::xel::EventChannel channel;
    channel.attach(drain.writeEnd());
    const pid_t ownPid = getpid();
    double seconds = medianPass(kCorpusLines, [&](const AndroidLogEntry& entry) {
        ornak::xel::sendLogEntryEvents(entry, ownPid, service->mMonitors, channel);
    });
    if (seconds < 0) {
        fprintf(stderr, "%s: reading the corpus failed\n", label.c_str());
        return false;
    }
    size_t expected = hits * kPasses;
    size_t arrived = drain.waitFor(expected, kQuietMs);
    printRate(label + ", " + std::to_string(kMonitors) + " monitors:", seconds);
    if (arrived != expected) {
        fprintf(stderr, "%s: %zu messages arrived, %zu expected\n", label.c_str(), arrived,
                expected);
        return false;
    }
    return true;
}

void describeCorpus(const std::vector<LogLine>& corpus, const std::string& bufferDir) {
    size_t hits = 0;
    uintmax_t bytes = 0;
    for (const LogLine& line : corpus) hits += line.holdsKeyWord ? 1 : 0;
    for (const char* name : kBuffers) bytes += fs::file_size(bufferDir + "/" + name);
    printf("corpus: %zu log entries, %zu with a key word, %.1f MB in the buffer files; "
           "median of %d passes\n",
           corpus.size(), hits, static_cast<double>(bytes) / (1 << 20), kPasses);
}

int run(const std::string& root) {
    std::string bufferDir = root + "/log";
    if (!makeBufferFiles(bufferDir)) {
        fprintf(stderr, "cannot make the log buffers in %s\n", bufferDir.c_str());
        return 1;
    }
    android::host::setLogBufferDir(bufferDir);

    std::vector<std::string> keyWords = lyrd_bench::makeKeyWords(1000);
    std::vector<std::string> hitKeyWords(keyWords.begin(), keyWords.begin() + kHitKeyWords);
    std::vector<LogLine> corpus =
            lyrd_bench::makeLogCorpus(kCorpusLines, kHitEvery, hitKeyWords, kSeed);
    if (!writeCorpusFromChild(corpus)) {
        fprintf(stderr, "cannot write the corpus to %s\n", bufferDir.c_str());
        return 1;
    }
    describeCorpus(corpus, bufferDir);
    size_t hits = kCorpusLines / kHitEvery;

    double baseline = medianPass(kCorpusLines, [](const AndroidLogEntry&) {});
    if (baseline < 0) {
        fprintf(stderr, "reading the corpus failed\n");
        return 1;
    }
    printRate("read and convert only:", baseline);

    int status = 0;
    for (size_t count : kKeyWordCounts) {
        std::vector<std::string> some(keyWords.begin(), keyWords.begin() + count);
        if (!measureKeyWords(root, some, hits)) status = 1;
    }
    return status;
}

}  // namespace

int main() {
    // The matcher logs every message it sends; standard error would set the
    // pace.
    android::host::setLogSink([](int, const char*, const char*) {});
    std::string root = (fs::temp_directory_path() / "lyrd-bench-XXXXXX").string();
    if (mkdtemp(root.data()) == nullptr) {
        perror("mkdtemp");
        return 1;
    }
    int status = run(root);
    std::error_code ignored;
    fs::remove_all(root, ignored);
    return status;
}
