// Feeds a byte stream to the internal channel reader in receives of 1 to
// 255 bytes, as the monitor thread takes them. The input interleaves both:
// each receive's size comes from the input's end (FuzzedDataProvider
// integers), its bytes from the front. Aborts unless the names handed on
// are the stream's runs between line feeds and NULs, in order: a run of at
// most kMaxPendingName bytes comes out whole and once, only a longer run
// may come out in pieces, no byte is lost or invented, and what is still
// kept at the end is the unterminated tail.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>
#include <log/host_log.h>

#include "detect/InternalEventReader.h"

namespace {

using ornak::xel::InternalEventReader;

constexpr size_t kReceiveSize = InternalEventReader::kReceiveSize;
constexpr size_t kMaxPendingName = InternalEventReader::kMaxPendingName;

bool endsName(char c) {
    return c == '\n' || c == '\0';
}

// The stream's non-empty runs between separators; *tail is the run the
// stream does not end, empty when it ends with a separator.
std::vector<std::string> splitRuns(const std::string& stream, std::string* tail) {
    std::vector<std::string> runs;
    std::string run;
    for (char c : stream) {
        if (!endsName(c)) {
            run.push_back(c);
        } else if (!run.empty()) {
            runs.push_back(run);
            run.clear();
        }
    }
    *tail = run;
    return runs;
}

// Takes from names[*next] on the pieces a run too long to wait for was
// handed on in: each a prefix of what is left of run and, when more
// follows it, longer than kMaxPendingName. Returns how much of run they
// cover.
size_t takePieces(const std::vector<std::string>& names, size_t* next, const std::string& run,
                  bool terminated) {
    size_t covered = 0;
    while (covered < run.size() && *next < names.size()) {
        const std::string& piece = names[*next];
        if (run.compare(covered, piece.size(), piece) != 0) abort();
        bool last = terminated && covered + piece.size() == run.size();
        if (!last && piece.size() <= kMaxPendingName) abort();
        covered += piece.size();
        ++*next;
    }
    return covered;
}

void check(const std::string& stream, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        if (name.empty() || name.find('\n') != std::string::npos) abort();
        // The kept bytes of an unfinished name plus one receive, at most.
        if (name.size() > kMaxPendingName + kReceiveSize) abort();
    }
    std::string tail;
    std::vector<std::string> runs = splitRuns(stream, &tail);
    size_t next = 0;
    for (const std::string& run : runs) {
        if (run.size() <= kMaxPendingName) {
            if (next == names.size() || names[next] != run) abort();
            ++next;
        } else if (takePieces(names, &next, run, true) != run.size()) {
            abort();
        }
    }
    // Of the unterminated tail only pieces of a run too long to wait for
    // go on, and what is kept is short enough to wait for.
    size_t covered = takePieces(names, &next, tail, false);
    if (tail.size() - covered > kMaxPendingName) abort();
    if (next != names.size()) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = [] {
        android::host::setLogSink([](int, const char*, const char*) {});
        return true;
    }();
    (void)quiet;

    FuzzedDataProvider input(data, size);
    InternalEventReader reader;
    std::string stream;
    std::vector<std::string> names;
    auto sink = [&](const char* name) { names.emplace_back(name); };
    while (input.remaining_bytes() > 0) {
        size_t count = input.ConsumeIntegralInRange<size_t>(1, kReceiveSize);
        std::vector<uint8_t> piece = input.ConsumeBytes<uint8_t>(count);
        if (piece.empty()) break;
        // Exactly the received bytes, no terminator: ASan reports any read
        // past them.
        std::unique_ptr<char[]> bytes(new char[piece.size()]);
        memcpy(bytes.get(), piece.data(), piece.size());
        reader.receive(bytes.get(), piece.size(), sink);
        stream.append(bytes.get(), piece.size());
    }
    check(stream, names);
    return 0;
}
