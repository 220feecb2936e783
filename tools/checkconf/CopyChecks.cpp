// A line for a handler, event or group that comes after a line that copied
// it: the copy was taken as the record stood then and never sees the line.
#include <map>
#include <utility>

#include "Checks.h"
#include "ProblemText.h"

namespace checkconf {
namespace {

using CopyKey = std::pair<ConfigSection, std::string>;

// The record a line changes, as the source of copies it may have been.
CopyKey touchedBy(const KeyRecord& key) {
    return CopyKey(key.section, key.record);
}

std::string warningText(const ParseRecord& record, const KeyRecord& key, const CopyRecord& copy) {
    std::string text = std::string(sectionName(copy.source)) + " " + quoted(copy.name) +
                       " was copied into " + sectionName(copy.into) + " " + quoted(copy.intoName) +
                       " at " + lineName(record, key.at, copy.at) +
                       ": that copy does not see this line";
    // The dump looks the event up by name and runs its own handler copies.
    if (key.inHandler) text += " (a dump uses the event's own record and does)";
    return text;
}

}  // namespace

void checkCopies(const ParseRecord& record, Diagnostics& out) {
    // The first copy of each record taken so far, walking in file order.
    std::map<CopyKey, const CopyRecord*> firstCopies;
    auto copy = record.copies.begin();
    for (const KeyRecord& key : record.keys) {
        for (; copy != record.copies.end() && copy->at < key.at; ++copy) {
            firstCopies.emplace(CopyKey(copy->source, copy->name), &*copy);
        }
        auto found = firstCopies.find(touchedBy(key));
        if (found != firstCopies.end()) {
            addWarning(out, key.at, warningText(record, key, *found->second));
        }
    }
}

}  // namespace checkconf
