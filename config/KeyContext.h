// Everything the key functions of one configuration line work with: the
// configuration and its name indexes, the line and its word split, the
// parser's seams, and which record the line names. The parser makes one per
// used line; nothing of it outlives the line.
#pragma once

#include <stddef.h>
#include <string.h>

#include <utils/Errors.h>
#include <utils/String8.h>

#include "config/ConfigEffects.h"
#include "config/ConfigIndex.h"
#include "config/ConfigLineSplit.h"
#include "config/ConfigReporter.h"
#include "config/Configuration.h"

namespace ornak {
namespace xel {

struct KeyContext {
    Configuration& config;
    ConfigIndex& index;
    ConfigEffects& effects;
    ConfigReporter& reporter;
    ConfigLineSplit& split;
    const char* line;  // the whole line as read, newline included
    ConfigSection section = ConfigSection::kNone;
    const char* record = "";        // the name the line gives; empty for global lines
    const char* handler = nullptr;  // the handler an event line names

    // Logs "Config file parsing error at line <site>: <line>" and returns
    // the parser's failure status. The number names the logging site, not
    // a line of the file.
    status_t failAtSite(int site);
    // Logs "Set value failed at line <site>" and returns the failure status.
    status_t failSetValue(int site);

    // The value of the line for key, by the value rule, searched from the
    // key word taken last. An invalid value is logged, reported and leaves
    // value empty.
    bool readValue(const char* key, String8& value);

    void problem(ProblemKind kind, const char* subject, ValueFault fault = ValueFault::kNone);
    void keyApplied(const char* key, ValueKind kind, const String8& value);
    void copied(ConfigSection source, const char* name);
};

// Words match a section or key word by their beginning.
inline bool startsWith(const char* word, const char* prefix) {
    return strncmp(word, prefix, strlen(prefix)) == 0;
}

}  // namespace xel
}  // namespace ornak
