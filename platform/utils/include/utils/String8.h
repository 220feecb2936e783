// An 8-bit, zero-terminated, growable string value. Copies are independent.
#pragma once

#include <stdarg.h>
#include <stddef.h>

#include <string>

#include <utils/Errors.h>

namespace android {

class String16;

class String8 {
  public:
    String8() = default;
    String8(const char* text);  // NOLINT: implicit like the platform's
    String8(const char* text, size_t length);
    explicit String8(const String16& text);

    static String8 format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
    status_t appendFormat(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    status_t appendFormatV(const char* fmt, va_list args);

    status_t setTo(const char* text);
    status_t setTo(const char* text, size_t length);
    status_t setTo(const String8& other);
    status_t append(const char* text);
    status_t append(const char* text, size_t length);
    status_t append(const String8& other);
    void clear() { mText.clear(); }

    const char* string() const { return mText.c_str(); }
    const char* c_str() const { return mText.c_str(); }
    size_t length() const { return mText.size(); }
    size_t size() const { return mText.size(); }
    size_t bytes() const { return mText.size(); }
    bool isEmpty() const { return mText.empty(); }

    int compare(const String8& other) const { return mText.compare(other.mText); }
    bool operator==(const String8& other) const { return mText == other.mText; }
    bool operator!=(const String8& other) const { return mText != other.mText; }
    bool operator<(const String8& other) const { return mText < other.mText; }
    bool operator==(const char* other) const { return other != nullptr && mText == other; }
    bool operator!=(const char* other) const { return !(*this == other); }
    String8& operator+=(const String8& other);
    String8& operator+=(const char* other);

    operator const char*() const { return mText.c_str(); }  // NOLINT: as on the platform

  private:
    std::string mText;
};

}  // namespace android
