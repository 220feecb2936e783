#include "LogCorpus.h"

#include <stdarg.h>
#include <stdio.h>

#include <functional>
#include <random>

#include <android/log.h>
#include <log/host_log.h>

namespace lyrd_bench {
namespace {

using Random = std::mt19937;

constexpr const char* kPackages[] = {
        "com.android.systemui",  "com.android.settings", "com.android.phone",
        "com.android.bluetooth", "com.example.mail",     "com.example.notes",
        "org.example.player",    "org.example.maps.nav", "com.example.camera2",
        "com.android.launcher3", "com.example.shop.app", "com.android.providers.media"};
constexpr const char* kActivities[] = {".MainActivity", ".ui.HomeActivity", ".SettingsActivity",
                                       ".player.NowPlaying", ".compose.EditorActivity"};

template <size_t N>
const char* pick(Random& random, const char* const (&items)[N]) {
    return items[std::uniform_int_distribution<size_t>(0, N - 1)(random)];
}

int number(Random& random, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
}

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* pattern, ...) {
    char text[512];
    va_list args;
    va_start(args, pattern);
    vsnprintf(text, sizeof(text), pattern, args);
    va_end(args);
    return text;
}

// One kind of ordinary line: which buffer and tag it goes under, and how
// its message is made.
struct LineKind {
    const char* buffer;
    int prio;
    const char* tag;
    std::function<std::string(Random&)> message;
};

const std::vector<LineKind>& lineKinds() {
    static const std::vector<LineKind> kinds = {
            {"system", ANDROID_LOG_INFO, "ActivityManager",
             [](Random& r) {
                 const char* package = pick(r, kPackages);
                 return format("Start proc %d:%s/u0a%d for activity {%s/%s}", number(r, 900, 32000),
                               package, number(r, 10, 250), package, pick(r, kActivities));
             }},
            {"system", ANDROID_LOG_INFO, "ActivityTaskManager",
             [](Random& r) {
                 return format("Displayed %s/%s: +%d ms", pick(r, kPackages), pick(r, kActivities),
                               number(r, 80, 2400));
             }},
            {"system", ANDROID_LOG_INFO, "ActivityManager",
             [](Random& r) {
                 return format("Killing %d:%s/u0a%d (adj %d): empty #%d", number(r, 900, 32000),
                               pick(r, kPackages), number(r, 10, 250), number(r, 900, 999),
                               number(r, 17, 40));
             }},
            {"main", ANDROID_LOG_DEBUG, "SurfaceFlinger",
             [](Random& r) {
                 return format("Setting active display mode to 1080x2400@%dHz, vsync period %d ns",
                               r() % 2 ? 60 : 120, r() % 2 ? 16666666 : 8333333);
             }},
            {"main", ANDROID_LOG_INFO, "Choreographer",
             [](Random& r) {
                 return format(
                         "Skipped %d frames!  The application may be doing too much work on "
                         "its main thread.",
                         number(r, 30, 300));
             }},
            {"main", ANDROID_LOG_INFO, "art",
             [](Random& r) {
                 int total = number(r, 8, 256);
                 return format(
                         "Background concurrent copying GC freed %d(%dKB) AllocSpace "
                         "objects, %d(%dMB) LOS objects, %d%% free, %dMB/%dMB, paused %dus "
                         "total %d.%03dms",
                         number(r, 1000, 90000), number(r, 100, 9000), number(r, 0, 40),
                         number(r, 0, 30), number(r, 20, 60), total / 2, total, number(r, 40, 900),
                         number(r, 5, 400), number(r, 0, 999));
             }},
            {"system", ANDROID_LOG_DEBUG, "WifiService",
             [](Random& r) {
                 return format(
                         "RSSI changed to %d dBm on wlan0, link speed %d Mbps, frequency %d MHz",
                         -number(r, 35, 90), number(r, 6, 1200), r() % 2 ? 2437 : 5180);
             }},
            {"system", ANDROID_LOG_DEBUG, "ConnectivityService",
             [](Random& r) {
                 return format("NetworkAgentInfo [WIFI () - %d] validation passed in %d ms",
                               number(r, 100, 180), number(r, 20, 900));
             }},
            {"radio", ANDROID_LOG_DEBUG, "RILJ",
             [](Random& r) {
                 return format("[%04d]< SIGNAL_STRENGTH {rssi=%d, ber=%d, level=%d} [SUB%d]",
                               number(r, 0, 9999), number(r, 2, 31), number(r, 0, 7),
                               number(r, 0, 4), number(r, 0, 1));
             }},
            {"main", ANDROID_LOG_INFO, "PackageManager",
             [](Random& r) {
                 return format("Package %s codePath changed; dexopt took %d ms for %d dex files",
                               pick(r, kPackages), number(r, 40, 6000), number(r, 1, 9));
             }},
            {"system", ANDROID_LOG_INFO, "BatteryService",
             [](Random& r) {
                 return format(
                         "level:%d, scale:100, status:%d, health:2, present:true, "
                         "voltage:%d, temperature:%d, technology:Li-ion",
                         number(r, 1, 100), number(r, 2, 5), number(r, 3600, 4400),
                         number(r, 180, 420));
             }},
            {"main", ANDROID_LOG_WARN, "InputDispatcher",
             [](Random& r) {
                 return format(
                         "channel '%x %s/%s' ~ Consumer closed input channel or an error "
                         "occurred.  events=0x%x",
                         static_cast<unsigned>(r()), pick(r, kPackages), pick(r, kActivities),
                         number(r, 1, 15));
             }},
            {"main", ANDROID_LOG_DEBUG, "chatty",
             [](Random& r) {
                 return format("uid=%d(%s) RenderThread identical %d lines",
                               number(r, 10000, 10250), pick(r, kPackages), number(r, 2, 60));
             }},
            {"main", ANDROID_LOG_ERROR, "AudioFlinger",
             [](Random& r) {
                 return format("write blocked for %d msecs, %d delayed writes, thread %#x",
                               number(r, 20, 400), number(r, 1, 90), number(r, 0x100, 0xfff));
             }},
    };
    return kinds;
}

// A line that reports a fault, holding keyWord.
LogLine hitLine(Random& random, const std::string& keyWord) {
    static const char* const kTags[] = {"SurfaceFlinger", "ActivityManager", "HwServiceManager",
                                        "RILJ"};
    LogLine line{"main", ANDROID_LOG_ERROR, pick(random, kTags), "", true};
    line.message = "watchdog: " + keyWord +
                   format(", pid %d, %d ms since the last heartbeat", number(random, 300, 32000),
                          number(random, 2000, 20000));
    return line;
}

LogLine ordinaryLine(Random& random) {
    const std::vector<LineKind>& kinds = lineKinds();
    const LineKind& kind = kinds[std::uniform_int_distribution<size_t>(0, kinds.size() - 1)(random)];
    return LogLine{kind.buffer, kind.prio, kind.tag, kind.message(random), false};
}

}  // namespace

std::vector<LogLine> makeLogCorpus(size_t lines, size_t hitEvery,
                                   const std::vector<std::string>& hitKeyWords, uint32_t seed) {
    Random random(seed);
    std::vector<LogLine> corpus;
    corpus.reserve(lines);
    size_t hits = 0;
    size_t hitAt = 0;
    for (size_t i = 0; i < lines; ++i) {
        bool hit = false;
        if (hitEvery > 0 && !hitKeyWords.empty()) {
            size_t offset = i % hitEvery;
            if (offset == 0) hitAt = std::uniform_int_distribution<size_t>(0, hitEvery - 1)(random);
            // A block cut short by the end of the corpus gets no hit.
            hit = offset == hitAt && i - offset + hitEvery <= lines;
        }
        if (hit) {
            corpus.push_back(hitLine(random, hitKeyWords[hits++ % hitKeyWords.size()]));
        } else {
            corpus.push_back(ordinaryLine(random));
        }
    }
    return corpus;
}

bool writeLogCorpus(const std::vector<LogLine>& corpus) {
    for (const LogLine& line : corpus) {
        if (!android::host::appendLogRecord(line.buffer, line.prio, line.tag.c_str(),
                                            line.message.c_str())) {
            return false;
        }
    }
    return true;
}

}  // namespace lyrd_bench
