// Values that parse but do not do what they seem to say.
#include <ctype.h>
#include <errno.h>
#include <limits.h>
#include <stdlib.h>

#include <algorithm>

#include "Checks.h"

namespace checkconf {
namespace {

bool isKey(const KeyRecord& key, ConfigSection section, const char* word) {
    return key.section == section && !key.inHandler && key.key == word;
}

// What atoi makes of the value, when that is not simply the number written.
// A carriage return at the end is the CR LF warning's business.
void checkNumber(const KeyRecord& key, Diagnostics& out) {
    std::string text = key.value;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    const char* begin = text.c_str();
    while (isspace(static_cast<unsigned char>(*begin))) ++begin;
    const char* digits = begin + (*begin == '+' || *begin == '-' ? 1 : 0);
    bool whole = isdigit(static_cast<unsigned char>(*digits)) &&
                 std::all_of(digits, text.c_str() + text.size(),
                             [](char c) { return isdigit(static_cast<unsigned char>(c)); });
    if (!whole) {
        addWarning(out, key.at,
                   "the value " + quoted(key.value) + " of " + key.key +
                           " is not a number: it reads as " + std::to_string(atoi(begin)));
        return;
    }
    errno = 0;
    long long number = strtoll(begin, nullptr, 10);
    if (errno == ERANGE || number < INT_MIN || number > INT_MAX) {
        addWarning(out, key.at,
                   "the number " + quoted(key.value) + " of " + key.key + " is out of range");
    }
}

void checkLogDumpPath(const KeyRecord& key, Diagnostics& out) {
    const std::string& path = key.value;
    if (path.empty()) {
        addWarning(out, key.at,
                   "log_dump_path is empty: dumps go to folders at the root of the file system");
    } else if (path[0] == '-') {
        addWarning(out, key.at,
                   "log_dump_path " + quoted(path) +
                           " begins with \"-\": it is relative, and a command given it may "
                           "take it for an option");
    } else if (path[0] != '/') {
        addWarning(out, key.at,
                   "log_dump_path " + quoted(path) +
                           " is relative: dumps land under whatever folder the daemon runs in");
    }
}

// Below a second, as for 0, commands run as long as they take.
void checkHandlerTimeout(const KeyRecord& key, Diagnostics& out) {
    int seconds = atoi(key.value.c_str());
    if (seconds >= 0) return;
    addWarning(out, key.at,
               "handler_timeout " + quoted(key.value) +
                       " is shorter than a second: handler commands run without a time limit");
}

// A group the parser found is one it copied from at this line. The copies
// are in file order.
bool copiedGroupAt(const ParseRecord& record, Position at) {
    auto first = std::lower_bound(record.copies.begin(), record.copies.end(), at,
                                  [](const CopyRecord& c, Position p) { return c.at < p; });
    for (auto c = first; c != record.copies.end() && c->at == at; ++c) {
        if (c->source == ConfigSection::kEvtGroup) return true;
    }
    return false;
}

void checkMonitorGroup(const ParseRecord& record, const KeyRecord& key, Diagnostics& out) {
    if (!copiedGroupAt(record, key.at)) {
        addWarning(out, key.at,
                   "monitor " + quoted(key.record) + " names event group " + quoted(key.value) +
                           ", which no evtgroup line before this one defines: the line adds "
                           "nothing");
    }
}

void checkKey(const ParseRecord& record, const KeyRecord& key, Diagnostics& out) {
    if (key.kind == ValueKind::kNumber || key.kind == ValueKind::kSwitch) checkNumber(key, out);
    if (key.value.find(" //") != std::string::npos) {
        addWarning(out, key.at,
                   "the value of " + key.key +
                           " holds \" //\": a comment cannot follow a value, it becomes part "
                           "of it");
    }
    if (isKey(key, ConfigSection::kGlobal, "log_dump_path")) checkLogDumpPath(key, out);
    if (isKey(key, ConfigSection::kEvent, "key_word") && key.value.empty()) {
        addWarning(out, key.at, "the key word is empty: it matches every log entry");
    }
    if (isKey(key, ConfigSection::kEvent, "uevent") && key.value.find('=') != std::string::npos) {
        addWarning(out, key.at,
                   "uevent " + quoted(key.value) +
                           " holds \"=\": only the text after a record's first \"=\" is "
                           "compared, so it never matches");
    }
    if (isKey(key, ConfigSection::kMonitor, "evtgroup")) checkMonitorGroup(record, key, out);
    if (isKey(key, ConfigSection::kGlobal, "handler_timeout")) checkHandlerTimeout(key, out);
}

}  // namespace

void checkValues(const ParseRecord& record, Diagnostics& out) {
    for (const KeyRecord& key : record.keys) checkKey(record, key, out);
}

}  // namespace checkconf
