#include "detect/KeyWordAutomaton.h"

#include <algorithm>
#include <utility>

namespace ornak {
namespace xel {

// Builds the automaton in steps: the byte classes, the trie of the
// patterns, its breadth-first numbering, and then, state by state in that
// order, the failure links and the full rows. Breadth-first numbering puts
// the shallow states, where scans spend their time, first; it also makes a
// state's failure link a smaller number than the state, so it is always
// complete when needed.
class KeyWordAutomaton::Builder {
  public:
    Builder(KeyWordAutomaton& automaton, const std::vector<std::string>& patterns,
            size_t denseRowBudget)
        : mAutomaton(automaton), mPatterns(patterns), mDenseRowBudget(denseRowBudget) {}

    void build() {
        assignClasses();
        buildTrie();
        numberBreadthFirst();
        linkStates();
    }

  private:
    struct Node {
        std::vector<std::pair<uint8_t, uint32_t>> children;  // class, node
        int32_t pattern = -1;
    };

    // Classes 1.. go to the bytes the patterns use, in byte order; every
    // other byte is class 0 and leads back towards the root.
    void assignClasses() {
        bool used[256] = {};
        for (const std::string& pattern : mPatterns) {
            for (unsigned char byte : pattern) used[byte] = true;
        }
        uint32_t next = 1;
        for (int byte = 1; byte < 256; ++byte) {
            if (used[byte]) mAutomaton.mClassOf[byte] = static_cast<uint8_t>(next++);
        }
        mAutomaton.mClassCount = next;
    }

    void buildTrie() {
        mNodes.emplace_back();
        for (size_t i = 0; i < mPatterns.size(); ++i) {
            uint32_t node = 0;
            for (unsigned char byte : mPatterns[i]) {
                node = childOrNew(node, mAutomaton.mClassOf[byte]);
            }
            mNodes[node].pattern = static_cast<int32_t>(i);
        }
    }

    uint32_t childOrNew(uint32_t node, uint8_t cls) {
        for (const auto& [childClass, child] : mNodes[node].children) {
            if (childClass == cls) return child;
        }
        auto child = static_cast<uint32_t>(mNodes.size());
        mNodes[node].children.emplace_back(cls, child);
        mNodes.emplace_back();
        return child;
    }

    // Lays the states out in breadth-first order, children sorted by class.
    void numberBreadthFirst() {
        KeyWordAutomaton& a = mAutomaton;
        const size_t count = mNodes.size();
        std::vector<uint32_t> order{0};
        order.reserve(count);
        std::vector<uint32_t> stateOf(count);
        for (size_t i = 0; i < order.size(); ++i) {
            Node& node = mNodes[order[i]];
            std::sort(node.children.begin(), node.children.end());
            for (const auto& child : node.children) {
                stateOf[child.second] = static_cast<uint32_t>(order.size());
                order.push_back(child.second);
            }
        }
        a.mChildStart.assign(count + 1, 0);
        a.mChildClass.reserve(count - 1);
        a.mChildState.reserve(count - 1);
        a.mPattern.resize(count);
        for (size_t state = 0; state < count; ++state) {
            const Node& node = mNodes[order[state]];
            for (const auto& [cls, child] : node.children) {
                a.mChildClass.push_back(cls);
                a.mChildState.push_back(stateOf[child]);
            }
            a.mChildStart[state + 1] = static_cast<uint32_t>(a.mChildClass.size());
            a.mPattern[state] = node.pattern;
        }
        mNodes.clear();
        mNodes.shrink_to_fit();
    }

    void linkStates() {
        KeyWordAutomaton& a = mAutomaton;
        const auto count = static_cast<uint32_t>(a.mPattern.size());
        const size_t rowBytes = a.mClassCount * sizeof(uint32_t);
        a.mDenseCount = std::min<uint32_t>(
                count, std::max<uint32_t>(1, static_cast<uint32_t>(mDenseRowBudget / rowBytes)));
        a.mDense.assign(static_cast<size_t>(a.mDenseCount) * a.mClassCount, 0);
        a.mFail.assign(count, 0);
        a.mOutputLink.assign(count, kNoState);
        for (uint32_t state = 0; state < count; ++state) {
            linkChildren(state);
            if (state < a.mDenseCount) fillRow(state);
        }
    }

    // The failure link of a child is where its parent's failure link goes
    // on the same class; its output link, the nearest pattern end there.
    // Every state a step visits here comes before state, so its children
    // and row are already complete.
    void linkChildren(uint32_t state) {
        KeyWordAutomaton& a = mAutomaton;
        for (uint32_t i = a.mChildStart[state]; i < a.mChildStart[state + 1]; ++i) {
            uint32_t child = a.mChildState[i];
            uint32_t fail = state == 0 ? 0 : a.stateOf(stepFrom(a.mFail[state], a.mChildClass[i]));
            a.mFail[child] = fail;
            a.mOutputLink[child] = a.mPattern[fail] >= 0 ? fail : a.mOutputLink[fail];
            a.mChildState[i] = a.encode(child);
        }
    }

    uint32_t stepFrom(uint32_t state, uint8_t cls) const {
        const KeyWordAutomaton& a = mAutomaton;
        if (state >= a.mDenseCount) return a.sparseStep(state, cls);
        return a.mDense[static_cast<size_t>(state) * a.mClassCount + cls];
    }

    // A full row: the children, and for every other class what the failure
    // state's row says (the root stays at the root).
    void fillRow(uint32_t state) {
        KeyWordAutomaton& a = mAutomaton;
        uint32_t* row = &a.mDense[static_cast<size_t>(state) * a.mClassCount];
        if (state != 0) {
            const uint32_t* failRow = &a.mDense[static_cast<size_t>(a.mFail[state]) * a.mClassCount];
            std::copy(failRow, failRow + a.mClassCount, row);
        }
        for (uint32_t i = a.mChildStart[state]; i < a.mChildStart[state + 1]; ++i) {
            row[a.mChildClass[i]] = a.mChildState[i];
        }
    }

    KeyWordAutomaton& mAutomaton;
    const std::vector<std::string>& mPatterns;
    const size_t mDenseRowBudget;
    std::vector<Node> mNodes;
};

KeyWordAutomaton::KeyWordAutomaton() : KeyWordAutomaton(std::vector<std::string>()) {}

KeyWordAutomaton::KeyWordAutomaton(const std::vector<std::string>& patterns, size_t denseRowBudget) {
    Builder(*this, patterns, denseRowBudget).build();
}

uint32_t KeyWordAutomaton::sparseStep(uint32_t state, uint8_t cls) const {
    while (state >= mDenseCount) {
        uint32_t end = mChildStart[state + 1];
        for (uint32_t i = mChildStart[state]; i < end; ++i) {
            if (mChildClass[i] == cls) return mChildState[i];
            if (mChildClass[i] > cls) break;
        }
        state = mFail[state];
    }
    return mDense[static_cast<size_t>(state) * mClassCount + cls];
}

uint32_t KeyWordAutomaton::encode(uint32_t state) const {
    uint32_t encoded = state < mDenseCount ? state * mClassCount : kSparse | state;
    bool output = mPattern[state] >= 0 || mOutputLink[state] != kNoState;
    return output ? encoded | kHasOutput : encoded;
}

uint32_t KeyWordAutomaton::stateOf(uint32_t encoded) const {
    encoded &= ~kHasOutput;
    return (encoded & kSparse) != 0 ? encoded & ~kSparse : encoded / mClassCount;
}

size_t KeyWordAutomaton::memoryBytes() const {
    return mDense.capacity() * sizeof(uint32_t) + mChildStart.capacity() * sizeof(uint32_t) +
           mChildClass.capacity() + mChildState.capacity() * sizeof(uint32_t) +
           mFail.capacity() * sizeof(uint32_t) + mPattern.capacity() * sizeof(int32_t) +
           mOutputLink.capacity() * sizeof(uint32_t);
}

}  // namespace xel
}  // namespace ornak
