#include <utils/String8.h>

#include <stdio.h>
#include <string.h>

#include <utils/String16.h>
#include <utils/Unicode.h>

namespace android {

String8::String8(const char* text) : mText(text != nullptr ? text : "") {}

String8::String8(const char* text, size_t length) {
    setTo(text, length);
}

String8::String8(const String16& text) : mText(utf16ToUtf8(text.string(), text.size())) {}

String8 String8::format(const char* fmt, ...) {
    String8 result;
    va_list args;
    va_start(args, fmt);
    result.appendFormatV(fmt, args);
    va_end(args);
    return result;
}

status_t String8::appendFormat(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    status_t result = appendFormatV(fmt, args);
    va_end(args);
    return result;
}

status_t String8::appendFormatV(const char* fmt, va_list args) {
    va_list probe;
    va_copy(probe, args);
    int needed = vsnprintf(nullptr, 0, fmt, probe);
    va_end(probe);
    if (needed < 0) return BAD_VALUE;
    size_t old = mText.size();
    mText.resize(old + static_cast<size_t>(needed) + 1);
    vsnprintf(&mText[old], static_cast<size_t>(needed) + 1, fmt, args);
    mText.resize(old + static_cast<size_t>(needed));
    return NO_ERROR;
}

status_t String8::setTo(const char* text) {
    mText.assign(text != nullptr ? text : "");
    return NO_ERROR;
}

status_t String8::setTo(const char* text, size_t length) {
    if (text == nullptr) {
        mText.clear();
        return NO_ERROR;
    }
    // Like the platform, the text ends at its first NUL.
    mText.assign(text, strnlen(text, length));
    return NO_ERROR;
}

status_t String8::setTo(const String8& other) {
    mText = other.mText;
    return NO_ERROR;
}

status_t String8::append(const char* text) {
    if (text != nullptr) mText.append(text);
    return NO_ERROR;
}

status_t String8::append(const char* text, size_t length) {
    if (text != nullptr) mText.append(text, strnlen(text, length));
    return NO_ERROR;
}

status_t String8::append(const String8& other) {
    mText.append(other.mText);
    return NO_ERROR;
}

String8& String8::operator+=(const String8& other) {
    append(other);
    return *this;
}

String8& String8::operator+=(const char* other) {
    append(other);
    return *this;
}

}  // namespace android
