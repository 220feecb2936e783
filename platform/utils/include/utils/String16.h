// A UTF-16 string value, as binder carries text.
#pragma once

#include <stddef.h>

#include <string>

namespace android {

class String8;

class String16 {
  public:
    String16() = default;
    explicit String16(const char* utf8);
    String16(const char* utf8, size_t length);
    String16(const char16_t* units, size_t length);
    explicit String16(const String8& utf8);

    const char16_t* string() const { return mUnits.c_str(); }
    const char16_t* c_str() const { return mUnits.c_str(); }
    size_t size() const { return mUnits.size(); }
    bool isEmpty() const { return mUnits.empty(); }

    bool operator==(const String16& other) const { return mUnits == other.mUnits; }
    bool operator!=(const String16& other) const { return mUnits != other.mUnits; }

  private:
    std::u16string mUnits;
};

// Compares two UTF-16 texts of given lengths unit by unit; 0 when equal.
int strzcmp16(const char16_t* s1, size_t n1, const char16_t* s2, size_t n2);

}  // namespace android
