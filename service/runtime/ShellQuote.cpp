#include "service/runtime/ShellQuote.h"

namespace ornak {
namespace xel {

android::String8 shellQuote(const char* text) {
    android::String8 quoted("'");
    for (const char* p = text != nullptr ? text : ""; *p != '\0'; ++p) {
        if (*p == '\'') {
            // Close the quote, add an escaped quote, reopen.
            quoted.append("'\\''");
        } else {
            quoted.append(p, 1);
        }
    }
    quoted.append("'");
    return quoted;
}

}  // namespace xel
}  // namespace ornak
