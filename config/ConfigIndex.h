// The name indexes of the service's configuration records, kept by the
// parser so that finding a record, or whether a monitor, group or event
// already holds a copy of a name, does not walk a list. The records' lists
// are the truth; the indexes only ever follow them (see NameIndex).
#pragma once

#include <string>
#include <unordered_map>

#include <utils/String8.h>

#include "config/NameIndex.h"

namespace ornak {
namespace xel {

class ConfigIndex {
  public:
    NameIndex globalHandlers;
    NameIndex handlers;
    NameIndex events;
    NameIndex eventGroups;
    NameIndex monitors;

    // The copies held by the monitor, event group or event of that name.
    NameIndex& monitorEvents(const android::String8& monitor) {
        return mMonitorEvents[key(monitor)];
    }
    NameIndex& groupEvents(const android::String8& group) { return mGroupEvents[key(group)]; }
    NameIndex& eventHandlers(const android::String8& event) { return mEventHandlers[key(event)]; }

    // Forgets everything; the next look-ups index the lists afresh.
    void clear();

  private:
    static std::string key(const android::String8& name) {
        return std::string(name.string(), name.length());
    }

    std::unordered_map<std::string, NameIndex> mMonitorEvents;
    std::unordered_map<std::string, NameIndex> mGroupEvents;
    std::unordered_map<std::string, NameIndex> mEventHandlers;
};

inline void ConfigIndex::clear() {
    for (NameIndex* index : {&globalHandlers, &handlers, &events, &eventGroups, &monitors}) {
        index->clear();
    }
    mMonitorEvents.clear();
    mGroupEvents.clear();
    mEventHandlers.clear();
}

}  // namespace xel
}  // namespace ornak
