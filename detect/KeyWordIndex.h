// The key words of the events of the enabled monitors, indexed so that one
// pass over a log entry or kernel record finds every event it raises,
// whatever the number of key words.
//
// Built once at start-up, from the monitors' event copies, before the
// detection threads start; immutable afterwards, so both detection threads
// read it without a lock. Each thread matches through its own KeyWordScan,
// which holds the little state one match needs.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <algorithm>
#include <vector>

#include <utils/String8.h>
#include <utils/Vector.h>

#include "config/Monitor.h"
#include "detect/KeyWordAutomaton.h"
#include "service/LyrDebugService.h"

namespace ornak {
namespace xel {

class KeyWordIndex {
  public:
    // No key words: matches nothing.
    KeyWordIndex() = default;
    explicit KeyWordIndex(const Vector<LyrDebugService::Monitor>& monitors);

    // Distinct key words, the empty one included when some event has it.
    size_t keyWordCount() const { return mKeyWordCount; }
    // Heap bytes held by the index.
    size_t memoryBytes() const;

  private:
    friend class KeyWordScan;

    // An event name raised by a key word, with the place in enabled-monitor
    // and event order of the first event copy that raises it through that
    // key word; names go out in the order of those places.
    struct Raise {
        uint32_t place;
        uint32_t name;
        bool operator<(const Raise& other) const { return place < other.place; }
    };

    KeyWordAutomaton mAutomaton;
    // The raises of non-empty key word k: mRaises[mRaiseStart[k] .. mRaiseStart[k + 1]).
    std::vector<uint32_t> mRaiseStart{0};
    std::vector<Raise> mRaises;
    // Raised by an empty key word, which every text holds.
    std::vector<Raise> mAlways;
    std::vector<String8> mNames;
    size_t mKeyWordCount = 0;
};

// One thread's matcher over a shared index. Not thread-safe itself.
class KeyWordScan {
  public:
    explicit KeyWordScan(const KeyWordIndex& index);

    // Calls send(name) for every event name that text (up to its first NUL)
    // raises: a name is raised when a key word of an event copy held by an
    // enabled monitor occurs in the text as a case-sensitive byte substring.
    // Names come in enabled-monitor order, then event order, each once.
    template <typename Send>
    void match(const char* text, Send&& send);

  private:
    using Raise = KeyWordIndex::Raise;

    void beginMatch();
    // Takes the raises of key word k the first time this match sees it.
    bool takeKeyWord(size_t keyWord);

    const KeyWordIndex& mIndex;
    // A key word or name carries the current stamp once this match has it.
    uint32_t mStamp = 0;
    std::vector<uint32_t> mKeyWordStamp;
    std::vector<uint32_t> mNameStamp;
    std::vector<Raise> mFound;
};

template <typename Send>
void KeyWordScan::match(const char* text, Send&& send) {
    beginMatch();
    mIndex.mAutomaton.scan(text, [this](size_t keyWord) { return takeKeyWord(keyWord); });
    if (mFound.empty()) return;
    std::sort(mFound.begin(), mFound.end());
    for (const Raise& raise : mFound) {
        if (mNameStamp[raise.name] == mStamp) continue;
        mNameStamp[raise.name] = mStamp;
        send(mIndex.mNames[raise.name]);
    }
}

}  // namespace xel
}  // namespace ornak
