// UTF-8 <-> UTF-16 conversion. Malformed input never fails: every invalid
// sequence becomes U+FFFD, so any byte string converts.
#pragma once

#include <stddef.h>

#include <string>

namespace android {

std::u16string utf8ToUtf16(const char* text, size_t length);
std::string utf16ToUtf8(const char16_t* text, size_t length);

}  // namespace android
