#include "config/ConfigLineSplit.h"

#include <string.h>

namespace ornak {
namespace xel {

ConfigLineSplit::ConfigLineSplit(const char* line) {
    mLength = line != nullptr ? strnlen(line, kBufferSize - 1) : 0;
    if (mLength > 0) memcpy(mBuffer, line, mLength);
    mBuffer[mLength] = '\0';
}

const char* ConfigLineSplit::nextWord() {
    while (mNext < mLength && mBuffer[mNext] == '.') ++mNext;
    if (mNext >= mLength) return nullptr;
    size_t start = mNext;
    while (mNext < mLength && mBuffer[mNext] != '.') ++mNext;
    if (mNext < mLength) mBuffer[mNext++] = '\0';
    mLastWord = start;
    return mBuffer + start;
}

}  // namespace xel
}  // namespace ornak
