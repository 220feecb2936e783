// The word split of one configuration line. The line is copied into a
// private 1024-byte buffer and cut at dots: a run of dots separates two
// words, dots at the start are skipped, and everything else (blanks, "=",
// the value, the newline) stays in the words. A word sits at the same offset
// in the copy as in the line, so the value rule can start its search for "="
// where the key word begins.
#pragma once

#include <stddef.h>

namespace ornak {
namespace xel {

class ConfigLineSplit {
  public:
    static constexpr size_t kBufferSize = 1024;

    // Copies at most kBufferSize - 1 bytes of line (up to its first NUL).
    explicit ConfigLineSplit(const char* line);
    ConfigLineSplit(const ConfigLineSplit&) = delete;
    ConfigLineSplit& operator=(const ConfigLineSplit&) = delete;

    // The next word, or null when the line holds no more. The text stays
    // valid for the life of the split.
    const char* nextWord();
    // Offset in the line of the word nextWord returned last; 0 before any.
    size_t lastWordOffset() const { return mLastWord; }

  private:
    char mBuffer[kBufferSize];
    size_t mLength = 0;
    size_t mNext = 0;
    size_t mLastWord = 0;
};

}  // namespace xel
}  // namespace ornak
