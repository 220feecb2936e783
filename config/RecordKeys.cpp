// The keys of the named records: handlers, events, event groups and
// monitors. Copies of handlers and events are taken in the state their
// source has at the line that takes them.
#include "config/Event.h"
#include "config/EventGroup.h"
#include "config/Handler.h"
#include "config/KeyTable.h"
#include "config/Monitor.h"
#include "config/SectionKeys.h"

namespace ornak {
namespace xel {
namespace {

using Handler = Configuration::Handler;
using Event = Configuration::Event;
using EventGroup = Configuration::EventGroup;
using Monitor = Configuration::Monitor;

constexpr KeyRow<Handler> kHandlerRows[] = {
        textKey<&Handler::mEnableCmd>("init", 742),
        textKey<&Handler::mDumpCmd>("dump", 746),
        switchKey<&Handler::mEnabled>("on", 750),
        numberKey<&Handler::mLevel>("level", 754),
        elementKey<&Handler::mEnableParas>("epara", 759),
        elementKey<&Handler::mDumpParas>("dpara", 764),
};
constexpr KeyTable<Handler> kHandlerKeys = makeKeyTable("handler", 738, kHandlerRows);

// Appends a copy of the record of sources called name, as it stands now,
// unless events (indexed by held) already holds one of that name; a name
// sources does not have fails at site.
status_t copyEventOnce(KeyContext& context, Vector<Event>& events, NameIndex& held,
                       const char* name, int site) {
    if (held.find(events, name) >= 0) return android::NO_ERROR;
    ssize_t source = context.index.events.find(context.config.mEvents, name);
    if (source < 0) {
        context.problem(ProblemKind::kUnknownEvent, name);
        return context.failAtSite(site);
    }
    events.add(context.config.mEvents[source]);
    context.copied(ConfigSection::kEvent, name);
    return android::NO_ERROR;
}

// Gives the event a copy of the handler template on first mention, then
// applies the handler key that follows the handler's name to the copy.
status_t applyEventHandler(KeyContext& context, Event& event, const String8&) {
    const char* name = context.split.nextWord();
    if (name == nullptr) {
        context.problem(ProblemKind::kNoHandlerName, nullptr);
        return context.failAtSite(786);
    }
    ssize_t index = context.index.eventHandlers(event.mName).find(event.mHandlers, name);
    if (index < 0) {
        // Only the handler section's templates can be copied into an event;
        // global handlers are not looked at.
        ssize_t source = context.index.handlers.find(context.config.mHandlers, name);
        if (source < 0) {
            context.problem(ProblemKind::kUnknownHandler, name);
            return context.failAtSite(792);
        }
        index = event.mHandlers.add(context.config.mHandlers[source]);
        context.copied(ConfigSection::kHandler, name);
    }
    context.handler = name;
    if (parseHandlerKey(context, event.mHandlers.editItemAt(index)) != 0) {
        return context.failAtSite(797);
    }
    return android::NO_ERROR;
}

status_t setPolicy(KeyContext&, Event& event, const String8& value) {
    event.mPolicy = value == "once" ? Event::kPolicyOnce : Event::kPolicyAlways;
    return android::NO_ERROR;
}

constexpr KeyRow<Event> kEventRows[] = {
        {"handler", 0, ValueKind::kNone, ValueUse::kWords, applyEventHandler},
        elementKey<&Event::mKeyWords>("key_word", 802),
        elementKey<&Event::mUevents>("uevent", 807),
        {"policy", 812, ValueKind::kText, ValueUse::kValue, setPolicy},
        numberKey<&Event::mMinInterval>("min_interval", 816),
};
constexpr KeyTable<Event> kEventKeys = makeKeyTable("event", 781, kEventRows);

status_t addGroupEvent(KeyContext& context, EventGroup& group, const String8& name) {
    return copyEventOnce(context, group.mEvents, context.index.groupEvents(group.mName),
                         name.string(), 838);
}

constexpr KeyRow<EventGroup> kEventGroupRows[] = {
        {"event", 834, ValueKind::kName, ValueUse::kValue, addGroupEvent},
};
constexpr KeyTable<EventGroup> kEventGroupKeys = makeKeyTable("event group", 830, kEventGroupRows);

status_t addMonitorEvent(KeyContext& context, Monitor& monitor, const String8& name) {
    return copyEventOnce(context, monitor.mEvents, context.index.monitorEvents(monitor.mName),
                         name.string(), 872);
}

// A group nobody defined adds nothing and is no error.
status_t addMonitorGroup(KeyContext& context, Monitor& monitor, const String8& name) {
    ssize_t group = context.index.eventGroups.find(context.config.mEventGroups, name.string());
    if (group < 0) return android::NO_ERROR;
    NameIndex& held = context.index.monitorEvents(monitor.mName);
    for (const Event& event : context.config.mEventGroups[group].mEvents) {
        if (held.find(monitor.mEvents, event.mName.string()) < 0) monitor.mEvents.add(event);
    }
    context.copied(ConfigSection::kEvtGroup, name.string());
    return android::NO_ERROR;
}

constexpr KeyRow<Monitor> kMonitorRows[] = {
        switchKey<&Monitor::mEnabled>("enable", 859),
        numberKey<&Monitor::mLevel>("level", 863),
        {"event", 868, ValueKind::kName, ValueUse::kValue, addMonitorEvent},
        {"evtgroup", 879, ValueKind::kName, ValueUse::kValue, addMonitorGroup},
};
constexpr KeyTable<Monitor> kMonitorKeys = makeKeyTable("monitor", 856, kMonitorRows);

}  // namespace

status_t parseHandlerKey(KeyContext& context, Handler& handler) {
    return applyKey(context, kHandlerKeys, handler);
}

status_t parseEventKey(KeyContext& context, Event& event) {
    return applyKey(context, kEventKeys, event);
}

status_t parseEventGroupKey(KeyContext& context, EventGroup& group) {
    return applyKey(context, kEventGroupKeys, group);
}

status_t parseMonitorKey(KeyContext& context, Monitor& monitor) {
    return applyKey(context, kMonitorKeys, monitor);
}

std::vector<const char*> handlerKeyWords() {
    return keyWordsOf(kHandlerKeys);
}
std::vector<const char*> eventKeyWords() {
    return keyWordsOf(kEventKeys);
}
std::vector<const char*> eventGroupKeyWords() {
    return keyWordsOf(kEventGroupKeys);
}
std::vector<const char*> monitorKeyWords() {
    return keyWordsOf(kMonitorKeys);
}

}  // namespace xel
}  // namespace ornak
