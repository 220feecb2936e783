// A multi-pattern byte matcher: one pass over a text finds every pattern it
// holds, whatever the number of patterns (an Aho-Corasick automaton).
//
// Bytes that occur in no pattern share one class, so a transition row has
// one entry per distinct pattern byte plus one. The states nearest the root,
// where a scan spends nearly all its time, keep a full row of resolved
// transitions; deeper states keep only their children and a failure link,
// which bounds the memory for long patterns. Immutable once built, so any
// number of threads may scan with it at once.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

namespace ornak {
namespace xel {

class KeyWordAutomaton {
  public:
    // Memory spent on full transition rows by default; the deeper states
    // beyond it are sparse.
    static constexpr size_t kDenseRowBudget = 1 << 20;

    // Matches nothing.
    KeyWordAutomaton();
    // patterns must be distinct, not empty and free of NUL bytes; pattern i
    // is reported as i. At most denseRowBudget bytes go to full rows.
    explicit KeyWordAutomaton(const std::vector<std::string>& patterns,
                              size_t denseRowBudget = kDenseRowBudget);

    // Calls found(i) for each pattern i occurring in text, which ends at its
    // first NUL. A pattern is reported at every place it ends, except that
    // once found(i) returns false for a pattern (already seen), the shorter
    // patterns that end at the same place are not reported again: they were
    // reported with it.
    template <typename Found>
    void scan(const char* text, Found&& found) const;

    size_t stateCount() const { return mFail.size(); }
    size_t denseStateCount() const { return mDenseCount; }
    // Heap bytes held by the automaton.
    size_t memoryBytes() const;

  private:
    // A transition holds the next state encoded: for a state with a full
    // row, the row's offset in mDense, so the scan needs no multiplication;
    // for a sparse state, kSparse and its number. kHasOutput marks a state
    // where some pattern ends.
    static constexpr uint32_t kHasOutput = 1u << 31;
    static constexpr uint32_t kSparse = 1u << 30;
    static constexpr uint32_t kNoState = ~0u;

    class Builder;

    // The encoded next state from sparse state (a number) on byte class cls.
    uint32_t sparseStep(uint32_t state, uint8_t cls) const;
    uint32_t encode(uint32_t state) const;
    uint32_t stateOf(uint32_t encoded) const;
    template <typename Found>
    void report(uint32_t state, Found& found) const;

    uint8_t mClassOf[256] = {};
    uint32_t mClassCount = 1;
    // States below mDenseCount have a full row at mDense[state * mClassCount].
    uint32_t mDenseCount = 1;
    std::vector<uint32_t> mDense;
    // Children, sorted by class: [mChildStart[s], mChildStart[s + 1]).
    std::vector<uint32_t> mChildStart;
    std::vector<uint8_t> mChildClass;
    std::vector<uint32_t> mChildState;  // encoded
    std::vector<uint32_t> mFail;
    // The pattern that ends at a state, or -1; and the nearest state on the
    // failure chain where another one ends, or kNoState.
    std::vector<int32_t> mPattern;
    std::vector<uint32_t> mOutputLink;
};

template <typename Found>
void KeyWordAutomaton::report(uint32_t state, Found& found) const {
    if (mPattern[state] < 0) state = mOutputLink[state];
    while (state != kNoState) {
        if (!found(static_cast<size_t>(mPattern[state]))) return;
        state = mOutputLink[state];
    }
}

template <typename Found>
void KeyWordAutomaton::scan(const char* text, Found&& found) const {
    const auto* p = reinterpret_cast<const uint8_t*>(text);
    uint32_t current = 0;  // the root's row
    for (uint8_t byte; (byte = *p) != 0; ++p) {
        uint8_t cls = mClassOf[byte];
        current = (current & kSparse) == 0 ? mDense[current + cls]
                                           : sparseStep(current & ~kSparse, cls);
        if ((current & kHasOutput) != 0) {
            current &= ~kHasOutput;
            report(stateOf(current), found);
        }
    }
}

}  // namespace xel
}  // namespace ornak
