// The key operations of the sections: each applies the key of the current
// line, taking the key word (and, for an event's handler, more words) from
// the line's split, to the settings or to one record.
#pragma once

#include <vector>

#include "config/Configuration.h"
#include "config/KeyContext.h"

namespace ornak {
namespace xel {

status_t parseGlobalKey(KeyContext& context, Configuration& config);
status_t parseHandlerKey(KeyContext& context, Configuration::Handler& handler);
status_t parseEventKey(KeyContext& context, Configuration::Event& event);
status_t parseEventGroupKey(KeyContext& context, Configuration::EventGroup& group);
status_t parseMonitorKey(KeyContext& context, Configuration::Monitor& monitor);

// The key words each section knows, in matching order; the handler keys
// serve ghandler, handler and an event's handler lines alike.
std::vector<const char*> globalKeyWords();
std::vector<const char*> handlerKeyWords();
std::vector<const char*> eventKeyWords();
std::vector<const char*> eventGroupKeyWords();
std::vector<const char*> monitorKeyWords();

}  // namespace xel
}  // namespace ornak
