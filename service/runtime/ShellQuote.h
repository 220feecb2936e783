// Quoting for the shell lines the daemon builds from paths.
#pragma once

#include <utils/String8.h>

namespace ornak {
namespace xel {

// Returns text as one single-quoted shell word: the shell reads back exactly
// these bytes, whatever blanks, quotes or metacharacters they hold.
android::String8 shellQuote(const char* text);

}  // namespace xel
}  // namespace ornak
