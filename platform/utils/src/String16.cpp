#include <utils/String16.h>

#include <string.h>

#include <utils/String8.h>
#include <utils/Unicode.h>

namespace android {

String16::String16(const char* utf8)
    : mUnits(utf8ToUtf16(utf8, utf8 != nullptr ? strlen(utf8) : 0)) {}

String16::String16(const char* utf8, size_t length) : mUnits(utf8ToUtf16(utf8, length)) {}

String16::String16(const char16_t* units, size_t length) {
    if (units != nullptr) mUnits.assign(units, length);
}

String16::String16(const String8& utf8) : mUnits(utf8ToUtf16(utf8.string(), utf8.length())) {}

int strzcmp16(const char16_t* s1, size_t n1, const char16_t* s2, size_t n2) {
    size_t common = n1 < n2 ? n1 : n2;
    for (size_t i = 0; i < common; ++i) {
        int diff = static_cast<int>(s1[i]) - static_cast<int>(s2[i]);
        if (diff != 0) return diff;
    }
    return n1 < n2 ? -1 : (n1 > n2 ? 1 : 0);
}

}  // namespace android
