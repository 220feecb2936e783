// The keys of the named records: handlers, events, event groups and
// monitors. Copies of handlers and events are taken in the state their
// source has at the line that takes them.
#include "service/LyrDebugService.h"

#include <stdlib.h>

#include "config/Event.h"
#include "config/EventGroup.h"
#include "config/Handler.h"
#include "config/Monitor.h"
#include "config/ParserSupport.h"

namespace ornak {
namespace xel {
namespace {

enum HandlerKey { kInit, kDump, kOn, kHandlerLevel, kEnablePara, kDumpPara };
constexpr const char* kHandlerKeyWords[] = {"init",  "dump",  "on",   "level",
                                            "epara", "dpara", nullptr};
constexpr int kHandlerValueSites[] = {742, 746, 750, 754, 759, 764};
constexpr SectionKeys kHandlerKeys{"handler", 738, kHandlerKeyWords};

enum EventKey { kEventHandler, kKeyWord, kUevent, kPolicy };
constexpr const char* kEventKeyWords[] = {"handler", "key_word", "uevent", "policy", nullptr};
constexpr SectionKeys kEventKeys{"event", 781, kEventKeyWords};

constexpr const char* kEventGroupKeyWords[] = {"event", nullptr};
constexpr SectionKeys kEventGroupKeys{"event group", 830, kEventGroupKeyWords};

enum MonitorKey { kEnable, kMonitorLevel, kMonitorEvent, kMonitorGroup };
constexpr const char* kMonitorKeyWords[] = {"enable", "level", "event", "evtgroup", nullptr};
constexpr int kMonitorValueSites[] = {859, 863, 868, 879};
constexpr SectionKeys kMonitorKeys{"monitor", 856, kMonitorKeyWords};

// Appends a copy of event unless events (indexed by held) already holds
// one of that name.
void addEventOnce(Vector<LyrDebugService::Event>& events, NameIndex& held,
                  const LyrDebugService::Event& event) {
    if (held.find(events, event.mName.string()) < 0) events.add(event);
}

// Appends a copy of the record of sources called name, as it stands now,
// unless events (indexed by held) already holds one of that name; a name
// sources does not have fails at site.
status_t copyEventOnce(Vector<LyrDebugService::Event>& events, NameIndex& held,
                       const Vector<LyrDebugService::Event>& sources, NameIndex& sourceNames,
                       const char* name, int site, const char* line) {
    if (held.find(events, name) >= 0) return android::NO_ERROR;
    ssize_t source = sourceNames.find(sources, name);
    if (source < 0) return failAtSite(site, line);
    events.add(sources[source]);
    return android::NO_ERROR;
}

}  // namespace

status_t LyrDebugService::parseHandlerKey(Handler& handler, const char* line) {
    int key = takeKey(mSplit, line, kHandlerKeys);
    if (key < 0) return android::BAD_VALUE;
    // A parameter's element exists before its value is read, so a failing
    // line leaves an empty element behind.
    if (key == kEnablePara || key == kDumpPara) {
        Vector<String8>& paras = key == kEnablePara ? handler.mEnableParas : handler.mDumpParas;
        paras.add();
        bool valid = getConfigValue(line, paras.editTop()) == 0;
        return valid ? android::NO_ERROR : failSetValue(kHandlerValueSites[key]);
    }
    String8 value;
    if (getConfigValue(line, value) != 0) return failSetValue(kHandlerValueSites[key]);
    switch (key) {
        case kInit:
            handler.mEnableCmd = value;
            break;
        case kDump:
            handler.mDumpCmd = value;
            break;
        case kOn:
            handler.mEnabled = atoi(value.string()) != 0;
            break;
        case kHandlerLevel:
            handler.mLevel = atoi(value.string());
            break;
    }
    return android::NO_ERROR;
}

status_t LyrDebugService::parseEventKey(Event& event, const char* line) {
    switch (takeKey(mSplit, line, kEventKeys)) {
        case kEventHandler: {
            const char* name = takeWord(mSplit);
            if (name == nullptr) return failAtSite(786, line);
            ssize_t index = mConfigIndex.eventHandlers(event.mName).find(event.mHandlers, name);
            if (index < 0) {
                // Only the handler section's templates can be copied into
                // an event; global handlers are not looked at.
                ssize_t source = mConfigIndex.handlers.find(mHandlers, name);
                if (source < 0) return failAtSite(792, line);
                index = event.mHandlers.add(mHandlers[source]);
            }
            if (parseHandlerKey(event.mHandlers.editItemAt(index), line) != 0) {
                return failAtSite(797, line);
            }
            return android::NO_ERROR;
        }
        case kKeyWord:
            event.mKeyWords.add();
            if (getConfigValue(line, event.mKeyWords.editTop()) != 0) return failSetValue(802);
            return android::NO_ERROR;
        case kUevent:
            event.mUevents.add();
            if (getConfigValue(line, event.mUevents.editTop()) != 0) return failSetValue(807);
            return android::NO_ERROR;
        case kPolicy: {
            String8 value;
            if (getConfigValue(line, value) != 0) return failSetValue(812);
            event.mPolicy = value == "once" ? Event::kPolicyOnce : Event::kPolicyAlways;
            return android::NO_ERROR;
        }
    }
    return android::BAD_VALUE;
}

status_t LyrDebugService::parseEventGroupKey(EventGroup& group, const char* line) {
    if (takeKey(mSplit, line, kEventGroupKeys) < 0) return android::BAD_VALUE;
    String8 name;
    if (getConfigValue(line, name) != 0) return failSetValue(834);
    return copyEventOnce(group.mEvents, mConfigIndex.groupEvents(group.mName), mEvents,
                         mConfigIndex.events, name.string(), 838, line);
}

status_t LyrDebugService::parseMonitorKey(Monitor& monitor, const char* line) {
    int key = takeKey(mSplit, line, kMonitorKeys);
    if (key < 0) return android::BAD_VALUE;
    String8 value;
    if (getConfigValue(line, value) != 0) return failSetValue(kMonitorValueSites[key]);
    switch (key) {
        case kEnable:
            monitor.mEnabled = atoi(value.string()) != 0;
            break;
        case kMonitorLevel:
            monitor.mLevel = atoi(value.string());
            break;
        case kMonitorEvent:
            return copyEventOnce(monitor.mEvents, mConfigIndex.monitorEvents(monitor.mName),
                                 mEvents, mConfigIndex.events, value.string(), 872, line);
        case kMonitorGroup: {
            // A group nobody defined adds nothing and is no error.
            ssize_t group = mConfigIndex.eventGroups.find(mEventGroups, value.string());
            if (group < 0) break;
            NameIndex& held = mConfigIndex.monitorEvents(monitor.mName);
            for (const Event& event : mEventGroups[group].mEvents) {
                addEventOnce(monitor.mEvents, held, event);
            }
            break;
        }
    }
    return android::NO_ERROR;
}

}  // namespace xel
}  // namespace ornak
