#include "config/ValueRule.h"

#include <string.h>

#include <android/log.h>

namespace ornak {
namespace xel {
namespace {

// Finds the value in the text that starts with the key word. The first "="
// there ends the key part, so a value may itself hold "=", and so may a
// record name, which comes before the key word.
ValueFault findValue(const char* keyPart, const char** value, size_t* length) {
    const char* equals = strchr(keyPart, '=');
    if (equals == nullptr) return ValueFault::kNoEquals;
    const char* begin = equals + 1;
    while (*begin == ' ') ++begin;  // blanks are spaces only, never tabs
    if (*begin == '\0') return ValueFault::kNothingAfterEquals;
    const char* end = begin + strlen(begin);
    if (end[-1] == '\n') --end;
    bool quoted = *begin == '"';
    if (quoted) {
        if (end - begin < 2 || end[-1] != '"') return ValueFault::kOpenQuote;
        ++begin;
        --end;
    }
    size_t size = static_cast<size_t>(end - begin);
    if (size == 0) return quoted ? ValueFault::kEmptyQuotes : ValueFault::kNothingAfterEquals;
    if (size > kMaxValueLength) return ValueFault::kTooLong;
    // Trailing blanks go even inside quotes: a quoted run of blanks becomes
    // the empty value.
    while (size > 0 && begin[size - 1] == ' ') --size;
    *value = begin;
    *length = size;
    return ValueFault::kNone;
}

}  // namespace

ValueFault readConfigValue(ConfigReporter& reporter, const char* line, size_t keyStart,
                           android::String8& value) {
    value.clear();
    const char* begin = nullptr;
    size_t length = 0;
    ValueFault fault = findValue(line + keyStart, &begin, &length);
    if (fault != ValueFault::kNone) {
        report(reporter, ANDROID_LOG_ERROR, "Invalid line in config file: %s", line);
        return fault;
    }
    value.setTo(begin, length);
    return ValueFault::kNone;
}

}  // namespace xel
}  // namespace ornak
