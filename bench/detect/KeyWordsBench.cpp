// Key-word matching at 10, 100 and 1,000 key words spread over 10 enabled
// monitors: the index's size and build time, the matcher alone over the
// messages of 100,000 generated log entries, the whole log-buffer path
// (read, convert, match, send to a drained socket pair), and `grep -F -f`
// with the same key words over the same messages, in the same run. The
// last line sums it up: how much the cost per entry grows from 10 to 1,000
// key words, and the matcher's time over grep's at 1,000.
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <log/host_log.h>
#include <log/logger.h>
#include <log/logprint.h>
#include <utils/UniqueFd.h>

#include "ChannelDrain.h"
#include "GrepReference.h"
#include "KeyWordConfig.h"
#include "LogCorpus.h"
#include "config/Event.h"
#include "config/Monitor.h"
#include "detect/EventChannel.h"
#include "detect/KeyWordIndex.h"
#include "detect/LogEntryMatch.h"
#include "service/LyrDebugService.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using lyrd_bench::LogLine;
using ornak::xel::KeyWordIndex;
using ornak::xel::KeyWordScan;
using ornak::xel::LyrDebugService;

constexpr size_t kCorpusLines = 100000;
constexpr size_t kHitEvery = 1000;  // 0.1% of the lines hold a key word
constexpr size_t kHitKeyWords = 10;
constexpr size_t kHits = kCorpusLines / kHitEvery;
constexpr int kMonitors = 10;
constexpr int kPasses = 5;
constexpr uint32_t kSeed = 1234567;
constexpr size_t kKeyWordCounts[] = {10, 100, 1000};
constexpr const char* kBuffers[] = {"main", "system", "events", "radio"};
// How long the drain may stay silent before the messages count as lost.
constexpr int kQuietMs = 3000;

using Match = std::function<void(const AndroidLogEntry&)>;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The median of kPasses runs of pass, or a negative number when one failed.
double median(const std::function<double()>& pass) {
    std::vector<double> seconds;
    for (int i = 0; i < kPasses; ++i) {
        double taken = pass();
        if (taken < 0) return -1;
        seconds.push_back(taken);
    }
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

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

// Reads every corpus entry from the oldest on, converting each and handing
// it to match; the seconds it took, or -1 when an entry could not be read.
double logPathPass(const Match& match) {
    struct logger_list* list =
            android_logger_list_alloc_time(ANDROID_LOG_RDONLY, log_time::EPOCH, 0);
    if (list == nullptr) return -1;
    for (const char* name : kBuffers) android_logger_open(list, android_name_to_log_id(name));
    struct log_msg message;
    AndroidLogEntry entry;
    auto start = Clock::now();
    size_t done = 0;
    for (; done < kCorpusLines; ++done) {
        if (android_logger_list_read(list, &message) <= 0) break;
        if (android_log_processLogBuffer(&message.entry_v1, &entry) < 0) break;
        match(entry);
    }
    double seconds = done == kCorpusLines ? secondsSince(start) : -1;
    android_logger_list_free(list);
    return seconds;
}

std::string perEntry(double seconds) {
    char text[96];
    snprintf(text, sizeof(text), "%6.3f us per entry (%8.0f entries per second)",
             seconds * 1e6 / kCorpusLines, kCorpusLines / seconds);
    return text;
}

// The matcher alone over the messages in memory; -1 when the names it sent
// are not the corpus's hits.
double matcherPass(const KeyWordIndex& index, const std::vector<LogLine>& corpus) {
    KeyWordScan scan(index);
    size_t sent = 0;
    auto start = Clock::now();
    for (const LogLine& line : corpus) scan.match(line.message.c_str(), [&](auto&) { ++sent; });
    double seconds = secondsSince(start);
    return sent == kHits ? seconds : -1;
}

double buildMilliseconds(const android::Vector<LyrDebugService::Monitor>& monitors) {
    return 1000 * median([&] {
               auto start = Clock::now();
               KeyWordIndex index(monitors);
               return secondsSince(start);
           });
}

// The whole log-buffer path into a socket pair that a thread drains; -1
// when the messages that arrived are not the corpus's hits.
double logPathMedian(KeyWordIndex& index) {
    lyrd_bench::ChannelDrain drain;
    if (!drain.ok()) return -1;
    ornak::xel::EventChannel channel;
    channel.attach(drain.writeEnd());
    KeyWordScan scan(index);
    const pid_t ownPid = getpid();
    double seconds = median([&] {
        return logPathPass([&](const AndroidLogEntry& entry) {
            ornak::xel::sendLogEntryEvents(entry, ownPid, scan, channel, -1);
        });
    });
    size_t arrived = drain.waitFor(kHits * kPasses, kQuietMs);
    return arrived == kHits * kPasses ? seconds : -1;
}

struct KeyWordFigures {
    double matcher = -1;
    double grep = -1;
};

KeyWordFigures measureKeyWords(const std::string& root, const std::vector<std::string>& keyWords,
                               const std::vector<LogLine>& corpus, const std::string& textFile) {
    KeyWordFigures figures;
    std::string label = std::to_string(keyWords.size()) + " key words";
    std::string configPath = root + "/lyrdebug-" + std::to_string(keyWords.size()) + ".conf";
    std::ofstream(configPath) << lyrd_bench::makeKeyWordConfig(keyWords, kMonitors, root + "/dumps");
    android::sp<LyrDebugService> service =
            new LyrDebugService(configPath.c_str(), ornak::xel::SystemCalls::real());
    if (service->mStopped != 0 || service->mKeyWordIndex == nullptr ||
        service->mKeyWordIndex->keyWordCount() != keyWords.size()) {
        fprintf(stderr, "%s: the service did not start with every key word\n", label.c_str());
        return figures;
    }
    KeyWordIndex index(service->mMonitors);
    printf("%s, %d monitors: index %.1f KiB, built in %.3f ms\n", label.c_str(), kMonitors,
           index.memoryBytes() / 1024.0, buildMilliseconds(service->mMonitors));

    figures.matcher = median([&] { return matcherPass(index, corpus); });
    double logPath = logPathMedian(index);
    if (figures.matcher < 0 || logPath < 0) {
        fprintf(stderr, "%s: matches went missing\n", label.c_str());
        figures.matcher = -1;
        return figures;
    }
    printf("    matcher alone:          %s\n", perEntry(figures.matcher).c_str());
    printf("    logcat path:            %s\n", perEntry(logPath).c_str());

    std::string keyWordFile = root + "/keywords-" + std::to_string(keyWords.size());
    std::ofstream out(keyWordFile);
    for (const std::string& keyWord : keyWords) out << keyWord << "\n";
    out.close();
    lyrd_bench::GrepTiming grep = lyrd_bench::timeGrepFixed(keyWordFile, textFile, kPasses);
    if (!grep.found) {
        printf("    grep -F -f:             skipped, grep is not on this machine\n");
    } else if (!grep.ok || grep.matchingLines != static_cast<long>(kHits)) {
        printf("    grep -F -f:             failed (%ld lines counted)\n", grep.matchingLines);
    } else {
        figures.grep = grep.seconds;
        printf("    grep -F -f:             %s; matcher / grep %.2f\n",
               perEntry(grep.seconds).c_str(), figures.matcher / grep.seconds);
    }
    return figures;
}

// 1,000 key words of 10 to 40 random printable bytes, ten to an event.
void measureRandomKeyWords() {
    std::mt19937 random(kSeed);
    android::Vector<LyrDebugService::Monitor> monitors;
    LyrDebugService::Monitor& monitor = monitors.editItemAt(monitors.add());
    monitor.mEnabled = true;
    for (int e = 0; e < 100; ++e) {
        LyrDebugService::Event& event = monitor.mEvents.editItemAt(monitor.mEvents.add());
        event.mName = ("random" + std::to_string(e)).c_str();
        for (int k = 0; k < 10; ++k) {
            std::string text(std::uniform_int_distribution<size_t>(10, 40)(random), ' ');
            for (char& c : text)
                c = static_cast<char>(std::uniform_int_distribution<>(32, 126)(random));
            event.mKeyWords.add(android::String8(text.c_str()));
        }
    }
    KeyWordIndex index(monitors);
    printf("1000 random key words of 10-40 bytes: index %.1f KiB, built in %.3f ms\n",
           index.memoryBytes() / 1024.0, buildMilliseconds(monitors));
}

bool writeMessages(const std::vector<LogLine>& corpus, const std::string& path) {
    std::ofstream out(path);
    for (const LogLine& line : corpus) out << line.message << "\n";
    return static_cast<bool>(out);
}

void printSummary(const std::map<size_t, KeyWordFigures>& figures) {
    const KeyWordFigures& small = figures.at(kKeyWordCounts[0]);
    const KeyWordFigures& large = figures.at(1000);
    printf("keywords: 1000/10 cost ratio %.2f, ", large.matcher / small.matcher);
    if (large.grep > 0) {
        printf("matcher vs grep -F at 1000 %.2f\n", large.matcher / large.grep);
    } else {
        printf("matcher vs grep -F at 1000 not measured (no grep)\n");
    }
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
    std::string textFile = root + "/messages.txt";
    if (!writeCorpusFromChild(corpus) || !writeMessages(corpus, textFile)) {
        fprintf(stderr, "cannot write the corpus under %s\n", root.c_str());
        return 1;
    }
    printf("corpus: %zu log entries, %zu with a key word; median of %d passes; load average %s\n",
           corpus.size(), kHits, kPasses, loadAverage().c_str());
    double baseline = median([] { return logPathPass([](const AndroidLogEntry&) {}); });
    if (baseline < 0) return 1;
    printf("read and convert only:      %s\n", perEntry(baseline).c_str());

    std::map<size_t, KeyWordFigures> figures;
    for (size_t count : kKeyWordCounts) {
        std::vector<std::string> some(keyWords.begin(), keyWords.begin() + count);
        figures[count] = measureKeyWords(root, some, corpus, textFile);
        if (figures[count].matcher < 0) return 1;
    }
    measureRandomKeyWords();
    printf("load average at the end %s\n", loadAverage().c_str());
    printSummary(figures);
    return 0;
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
