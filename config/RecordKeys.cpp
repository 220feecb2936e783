// The keys of the named records: handlers, events, event groups and
// monitors. Copies of handlers and events are taken in the state their
// source has at the line that takes them.
#define LOG_TAG "LyrDebugService"

#include "service/LyrDebugService.h"

#include <stdlib.h>

#include <log/log.h>

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

enum EventKey { kEventHandler, kKeyWord, kUevent, kPolicy };
constexpr const char* kEventKeyWords[] = {"handler", "key_word", "uevent", "policy", nullptr};

enum MonitorKey { kEnable, kMonitorLevel, kMonitorEvent, kMonitorGroup };
constexpr const char* kMonitorKeyWords[] = {"enable", "level", "event", "evtgroup", nullptr};
constexpr int kMonitorValueSites[] = {859, 863, 868, 879};

// Appends a copy of event unless events already holds one of that name.
void addEventOnce(Vector<LyrDebugService::Event>& events, const LyrDebugService::Event& event) {
    if (indexOfName(events, event.mName.string()) < 0) events.add(event);
}

}  // namespace

status_t LyrDebugService::parseHandlerKey(Handler& handler, const char* line) {
    const char* keyWord = takeWord(mSplit);
    if (keyWord == nullptr) return failAtSite(738, line);
    int key = matchKeyWord(keyWord, kHandlerKeyWords);
    if (key < 0) {
        ALOGE("Unknown key word %s in handler section", keyWord);
        return android::BAD_VALUE;
    }
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
    const char* keyWord = takeWord(mSplit);
    if (keyWord == nullptr) return failAtSite(781, line);
    switch (matchKeyWord(keyWord, kEventKeyWords)) {
        case kEventHandler: {
            const char* name = takeWord(mSplit);
            if (name == nullptr) return failAtSite(786, line);
            ssize_t index = indexOfName(event.mHandlers, name);
            if (index < 0) {
                // Only the handler section's templates can be copied into
                // an event; global handlers are not looked at.
                ssize_t source = indexOfName(mHandlers, name);
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
    ALOGE("Unknown key word %s in event section", keyWord);
    return android::BAD_VALUE;
}

status_t LyrDebugService::parseEventGroupKey(EventGroup& group, const char* line) {
    const char* keyWord = takeWord(mSplit);
    if (keyWord == nullptr) return failAtSite(830, line);
    if (!startsWith(keyWord, "event")) {
        ALOGE("Unknown key word %s in event group section", keyWord);
        return android::BAD_VALUE;
    }
    String8 name;
    if (getConfigValue(line, name) != 0) return failSetValue(834);
    if (indexOfName(group.mEvents, name.string()) >= 0) return android::NO_ERROR;
    ssize_t source = indexOfName(mEvents, name.string());
    if (source < 0) return failAtSite(838, line);
    group.mEvents.add(mEvents[source]);
    return android::NO_ERROR;
}

status_t LyrDebugService::parseMonitorKey(Monitor& monitor, const char* line) {
    const char* keyWord = takeWord(mSplit);
    if (keyWord == nullptr) return failAtSite(856, line);
    int key = matchKeyWord(keyWord, kMonitorKeyWords);
    if (key < 0) {
        ALOGE("Unknown key word %s in monitor section", keyWord);
        return android::BAD_VALUE;
    }
    String8 value;
    if (getConfigValue(line, value) != 0) return failSetValue(kMonitorValueSites[key]);
    switch (key) {
        case kEnable:
            monitor.mEnabled = atoi(value.string()) != 0;
            break;
        case kMonitorLevel:
            monitor.mLevel = atoi(value.string());
            break;
        case kMonitorEvent: {
            if (indexOfName(monitor.mEvents, value.string()) >= 0) break;
            ssize_t source = indexOfName(mEvents, value.string());
            if (source < 0) return failAtSite(872, line);
            monitor.mEvents.add(mEvents[source]);
            break;
        }
        case kMonitorGroup: {
            // A group nobody defined adds nothing and is no error.
            ssize_t group = indexOfName(mEventGroups, value.string());
            if (group < 0) break;
            for (const Event& event : mEventGroups[group].mEvents) {
                addEventOnce(monitor.mEvents, event);
            }
            break;
        }
    }
    return android::NO_ERROR;
}

}  // namespace xel
}  // namespace ornak
