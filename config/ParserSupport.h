// Small pieces the configuration parser's files share: the two messages
// that carry a site number and prefix matching of words.
#pragma once

#include <string.h>
#include <sys/types.h>

#include <utils/Errors.h>
#include <utils/String8.h>
#include <utils/Vector.h>

#include "config/ConfigLineSplit.h"

namespace ornak {
namespace xel {

// Logs "Config file parsing error at line <site>: <line>" and returns the
// parser's failure status. The number names the logging site, not a line
// of the file.
android::status_t failAtSite(int site, const char* line);
// Logs "Set value failed at line <site>" and returns the failure status.
android::status_t failSetValue(int site);

// Words match a section or key word by their beginning.
inline bool startsWith(const char* word, const char* prefix) {
    return strncmp(word, prefix, strlen(prefix)) == 0;
}

// The index of the first entry of keys (a null-ended list) that word
// begins with, or -1.
int matchKeyWord(const char* word, const char* const* keys);

// The next word of the current line, or null when no split is running.
inline const char* takeWord(ConfigLineSplit* split) {
    return split != nullptr ? split->nextWord() : nullptr;
}

// The keys of one section, as its key operation matches them.
struct SectionKeys {
    const char* section;      // as named in "Unknown key word %s in %s section"
    int noKeySite;            // the site that reports a line without key word
    const char* const* keys;  // null-ended, in matching order
};

// Takes the line's key word and returns the index of the key it selects.
// A line without key word, or whose key word selects no key, is logged as
// the section's failure and gives -1.
int takeKey(ConfigLineSplit* split, const char* line, const SectionKeys& keys);

}  // namespace xel
}  // namespace ornak
