// What the configuration does as a whole, once every line is read:
// monitors whose dumps run nothing, detection that never happens, and
// global limits that turn a feature off.
#include <limits.h>

#include <map>
#include <set>
#include <string>
#include <tuple>

#include "Checks.h"
#include "config/Event.h"
#include "config/Handler.h"
#include "config/Monitor.h"

namespace checkconf {
namespace {

using android::String8;
using android::Vector;
using Handler = Configuration::Handler;
using Event = Configuration::Event;
using Monitor = Configuration::Monitor;

// The configuration with what the checks look up in it by name.
class Whole {
  public:
    Whole(const ParseRecord& record, const Configuration& config) : record(record), config(config) {
        for (const KeyRecord& key : record.keys) {
            if (!key.inHandler) mLastKeys[std::make_tuple(key.section, key.record, key.key)] = &key;
        }
        for (const Event& event : config.mEvents) mEvents.emplace(event.mName.string(), &event);
    }

    // The last line that gave key to the record name of section, or null.
    const KeyRecord* lastKey(ConfigSection section, const std::string& name, const char* key) const {
        auto found = mLastKeys.find(std::make_tuple(section, name, std::string(key)));
        return found != mLastKeys.end() ? found->second : nullptr;
    }

    // The record a dump of the event uses: its own, not a monitor's copy.
    const Event* ownRecord(const String8& name) const {
        auto found = mEvents.find(name.string());
        return found != mEvents.end() ? found->second : nullptr;
    }

    const ParseRecord& record;
    const Configuration& config;

  private:
    std::map<std::tuple<ConfigSection, std::string, std::string>, const KeyRecord*> mLastKeys;
    std::map<std::string, const Event*> mEvents;
};

// The lowest level of the handlers a dump of the monitor's events could
// run: the enabled global handlers and the enabled handlers of each event's
// own record. INT_MAX when there are none.
int32_t lowestHandlerLevel(const Whole& whole, const Monitor& monitor) {
    int32_t lowest = INT_MAX;
    auto consider = [&](const Vector<Handler>& handlers) {
        for (const Handler& handler : handlers) {
            if (handler.mEnabled && handler.mLevel < lowest) lowest = handler.mLevel;
        }
    };
    consider(whole.config.mGlobalHandlers);
    for (const Event& copy : monitor.mEvents) {
        const Event* own = whole.ownRecord(copy.mName);
        if (own != nullptr) consider(own->mHandlers);
    }
    return lowest;
}

void checkMonitorLevel(const Whole& whole, const Monitor& monitor, Diagnostics& out) {
    if (!monitor.mEnabled || monitor.mEvents.isEmpty()) return;
    int32_t lowest = lowestHandlerLevel(whole, monitor);
    if (monitor.mLevel >= lowest) return;
    std::string name = monitor.mName.string();
    const KeyRecord* at = whole.lastKey(ConfigSection::kMonitor, name, "level");
    std::string text = "monitor " + quoted(name);
    if (lowest == INT_MAX) {
        text += " runs nothing in its dumps: no handler of its events, and no global handler, "
                "is on";
    } else {
        text += " works at level " + std::to_string(monitor.mLevel) +
                ", below every handler its events could run (the lowest is at " +
                std::to_string(lowest) + "): its dumps run nothing";
        if (at == nullptr) text += " (a monitor without level works at 0)";
    }
    if (at == nullptr) at = whole.lastKey(ConfigSection::kMonitor, name, "enable");
    addWarning(out, at != nullptr ? at->at : whole.record.end(), text);
}

std::set<std::string> eventsOfEnabledMonitors(const Configuration& config) {
    std::set<std::string> names;
    for (const Monitor& monitor : config.mMonitors) {
        if (!monitor.mEnabled) continue;
        for (const Event& event : monitor.mEvents) names.insert(event.mName.string());
    }
    return names;
}

// Key words and uevents are looked for only in the enabled monitors'
// copies of their events.
void checkDetection(const ParseRecord& record, const Configuration& config, Diagnostics& out) {
    std::set<std::string> watched = eventsOfEnabledMonitors(config);
    bool scanned = config.mLogcatGrep || config.mKmsgGrep;
    for (const KeyRecord& key : record.keys) {
        if (key.section != ConfigSection::kEvent || key.inHandler) continue;
        bool isKeyWord = key.key == "key_word";
        if (!isKeyWord && key.key != "uevent") continue;
        std::string what = (isKeyWord ? "key word " : "uevent ") + quoted(key.value);
        if (isKeyWord && !scanned) {
            addWarning(out, key.at,
                       what + " is never scanned: logcat_grep and kmsg_grep are both off");
        } else if (watched.count(key.record) == 0) {
            addWarning(out, key.at,
                       what + (isKeyWord ? " is never scanned" : " is never matched") +
                               ": no enabled monitor holds event " + quoted(key.record));
        }
    }
}

void checkLimits(const Whole& whole, Diagnostics& out) {
    const Configuration& config = whole.config;
    const KeyRecord* count = whole.lastKey(ConfigSection::kGlobal, "", "max_dump_count");
    if (count != nullptr && config.mMaxDumpCount < 1) {
        addWarning(out, count->at,
                   "max_dump_count is " + std::to_string(config.mMaxDumpCount) +
                           ": collection is off and dump folders are never removed");
    }
    const KeyRecord* space = whole.lastKey(ConfigSection::kGlobal, "", "max_dump_space");
    if (space != nullptr && config.mMaxDumpSpace == 0) {
        addWarning(out, space->at, "max_dump_space is 0: every dump is refused");
    }
    for (const Event& event : config.mEvents) {
        const KeyRecord* interval =
                whole.lastKey(ConfigSection::kEvent, event.mName.string(), "min_interval");
        if (interval == nullptr || event.mMinInterval <= 0) continue;
        if (event.mPolicy != Event::kPolicyOnce) continue;
        addWarning(out, interval->at,
                   "event " + quoted(event.mName.string()) +
                           " has policy once: it is dumped once at most, so min_interval does "
                           "nothing");
    }
    if (whole.lastKey(ConfigSection::kGlobal, "", "log_dump_path") == nullptr) {
        addWarning(out, whole.record.end(),
                   "no log_dump_path is set: dumps go to folders at the root of the file system");
    }
}

}  // namespace

void checkWhole(const ParseRecord& record, const Configuration& config, Diagnostics& out) {
    Whole whole(record, config);
    bool anyEnabled = false;
    for (const Monitor& monitor : config.mMonitors) {
        checkMonitorLevel(whole, monitor, out);
        anyEnabled = anyEnabled || monitor.mEnabled;
    }
    if (!anyEnabled) {
        addWarning(out, record.end(),
                   "no monitor is enabled: the daemon will not start, and refuses every event "
                   "sent to it");
    }
    checkDetection(record, config, out);
    checkLimits(whole, out);
}

}  // namespace checkconf
