// The key-word index against the plain scan it replaces, on random
// configurations and adversarial texts.
#include <string.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/Event.h"
#include "config/Monitor.h"
#include "detect/KeyWordAutomaton.h"
#include "detect/KeyWordIndex.h"
#include "tests/detect/KeyWordReference.h"

namespace {

using namespace ornak::xel;
using Strings = std::vector<std::string>;
using Random = std::mt19937;

// Few distinct bytes make key words that overlap, nest and repeat; a
// multi-byte UTF-8 letter and raw bytes above 0x7f are among them.
const Strings kPieces = {"a", "b", "ab", "\xc3\xa9", "\xff", "\x80", " ", "aa", "ba"};

std::string randomText(Random& random, size_t maxPieces) {
    std::string text;
    size_t pieces = std::uniform_int_distribution<size_t>(0, maxPieces)(random);
    for (size_t i = 0; i < pieces; ++i) {
        text += kPieces[std::uniform_int_distribution<size_t>(0, kPieces.size() - 1)(random)];
    }
    return text;
}

// Names come from a small pool so that one name is held by several
// monitors with different key words, as copies taken at different lines are.
Vector<LyrDebugService::Monitor> randomMonitors(Random& random) {
    Vector<LyrDebugService::Monitor> monitors;
    int count = std::uniform_int_distribution<>(1, 4)(random);
    for (int m = 0; m < count; ++m) {
        LyrDebugService::Monitor& monitor = monitors.editItemAt(monitors.add());
        monitor.mEnabled = random() % 4 != 0;
        int events = std::uniform_int_distribution<>(0, 5)(random);
        for (int e = 0; e < events; ++e) {
            LyrDebugService::Event& event = monitor.mEvents.editItemAt(monitor.mEvents.add());
            event.mName = ("e" + std::to_string(random() % 6)).c_str();
            int keyWords = std::uniform_int_distribution<>(0, 3)(random);
            for (int k = 0; k < keyWords; ++k) {
                // Now and then an empty key word, which every text holds.
                std::string text = random() % 30 == 0 ? "" : randomText(random, 3);
                event.mKeyWords.add(String8(text.c_str()));
            }
        }
    }
    return monitors;
}

Strings indexNames(const KeyWordIndex& index, const std::string& text) {
    Strings names;
    KeyWordScan scan(index);
    scan.match(text.c_str(), [&](const String8& name) { names.push_back(name.c_str()); });
    return names;
}

TEST(KeyWordIndex, SendsTheNamesThePlainScanSendsInItsOrder) {
    Random random(20261206);
    for (int round = 0; round < 3000; ++round) {
        Vector<LyrDebugService::Monitor> monitors = randomMonitors(random);
        KeyWordIndex index(monitors);
        KeyWordScan scan(index);
        for (int t = 0; t < 20; ++t) {
            std::string text = randomText(random, 12);
            Strings names;
            scan.match(text.c_str(), [&](const String8& n) { names.push_back(n.c_str()); });
            ASSERT_EQ(lyrd_test::referenceKeyWordNames(monitors, text.c_str()), names)
                    << "round " << round << " text " << testing::PrintToString(text);
        }
    }
}

TEST(KeyWordIndex, SharedRepeatedAndNestedKeyWordsRaiseEachNameOnceInOrder) {
    Vector<LyrDebugService::Monitor> monitors;
    auto addEvent = [&](bool enabled, const char* name, const Strings& keyWords) {
        if (monitors.isEmpty() || monitors.top().mEnabled != enabled) {
            monitors.editItemAt(monitors.add()).mEnabled = enabled;
        }
        LyrDebugService::Event& event =
                monitors.editTop().mEvents.editItemAt(monitors.editTop().mEvents.add());
        event.mName = name;
        for (const std::string& k : keyWords) event.mKeyWords.add(String8(k.c_str()));
    };
    addEvent(true, "late", {"zz"});
    addEvent(true, "hang", {"hang", "gpu_hang", "hang"});
    addEvent(false, "off", {"hang"});
    addEvent(true, "late", {"hang"});  // the same name, another copy
    addEvent(true, "gpu", {"gpu"});
    KeyWordIndex index(monitors);
    EXPECT_EQ(4u, index.keyWordCount());
    EXPECT_EQ(Strings({"late", "hang", "gpu"}), indexNames(index, "gpu_hang zz"));
    EXPECT_EQ(Strings({"hang", "late", "gpu"}), indexNames(index, "gpu_hang"));
    EXPECT_EQ(Strings(), indexNames(index, "HANG GPU"));
    EXPECT_EQ(Strings(),
              indexNames(index, std::string("gp\0u hang", 9)));  // a text ends at its NUL

    addEvent(true, "all", {"  never", ""});
    EXPECT_EQ(Strings({"all"}), indexNames(KeyWordIndex(monitors), ""));
    EXPECT_EQ(Strings(), indexNames(KeyWordIndex(), "anything"));
}

// The patterns each text holds, by brute force.
std::set<size_t> heldPatterns(const Strings& patterns, const std::string& text) {
    std::set<size_t> held;
    for (size_t i = 0; i < patterns.size(); ++i) {
        if (strstr(text.c_str(), patterns[i].c_str()) != nullptr) held.insert(i);
    }
    return held;
}

// With no room for full rows every state but the root is sparse, and with
// the default room every state has its row: both find the same.
TEST(KeyWordAutomaton, FindsEveryHeldPatternWithFullAndSparseRows) {
    Random random(7);
    for (int round = 0; round < 500; ++round) {
        std::set<std::string> distinct;
        while (distinct.size() < 1 + random() % 12) distinct.insert("x" + randomText(random, 4));
        for (size_t i = 0; i < 3; ++i) distinct.insert(randomText(random, 5) + "q");
        distinct.erase("");
        Strings patterns(distinct.begin(), distinct.end());
        KeyWordAutomaton sparse(patterns, 0);
        KeyWordAutomaton dense(patterns);
        ASSERT_EQ(1u, sparse.denseStateCount());
        ASSERT_EQ(dense.stateCount(), dense.denseStateCount());
        for (int t = 0; t < 20; ++t) {
            std::string text = randomText(random, 10) + "x" + randomText(random, 10) + "q";
            std::set<size_t> expected = heldPatterns(patterns, text);
            for (const KeyWordAutomaton* automaton : {&sparse, &dense}) {
                std::set<size_t> found;
                automaton->scan(text.c_str(), [&](size_t i) { return found.insert(i).second; });
                ASSERT_EQ(expected, found) << testing::PrintToString(text);
            }
        }
    }
}

// All 255 non-NUL byte values in use: one class each, the last is 255.
TEST(KeyWordAutomaton, EveryByteValueCanBeAPatternByte) {
    std::string all;
    for (int byte = 1; byte < 256; ++byte) all += static_cast<char>(byte);
    KeyWordAutomaton automaton({all, "\xff\x01"});
    std::set<size_t> found;
    std::string text = all + all;
    automaton.scan(text.c_str(), [&](size_t i) { return found.insert(i).second; });
    EXPECT_EQ(std::set<size_t>({0, 1}), found);
    EXPECT_LT(automaton.memoryBytes(), size_t{2} << 20);
}

}  // namespace
