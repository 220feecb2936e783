// Finds a record of a list by its name without walking the list, for the
// parser, which looks a name up on nearly every line.
//
// The list may only grow at its end while the index is used, and its records
// keep their names; the index catches up with whatever was appended since it
// last looked, whoever appended it. A list that shrank is indexed afresh.
// Short lists are searched directly: hashing would cost more.
#pragma once

#include <stddef.h>
#include <string.h>
#include <sys/types.h>

#include <string>
#include <unordered_map>

#include <utils/String8.h>
#include <utils/Vector.h>

namespace ornak {
namespace xel {

// The position of the first record of records named name, or -1, by a walk
// of the list. Lengths are compared first.
template <typename Record>
ssize_t indexOfName(const android::Vector<Record>& records, const char* name) {
    size_t length = strlen(name);
    for (size_t i = 0; i < records.size(); ++i) {
        const android::String8& candidate = records[i].mName;
        if (candidate.length() == length && memcmp(candidate.string(), name, length) == 0) {
            return static_cast<ssize_t>(i);
        }
    }
    return -1;
}

class NameIndex {
  public:
    // The position of the first record of records named name, or -1.
    template <typename Record>
    ssize_t find(const android::Vector<Record>& records, const char* name);

    void clear() {
        mPositions.clear();
        mIndexed = 0;
    }

  private:
    static constexpr size_t kHashFrom = 16;

    std::unordered_map<std::string, size_t> mPositions;
    size_t mIndexed = 0;  // records [0, mIndexed) are in mPositions
};

template <typename Record>
ssize_t NameIndex::find(const android::Vector<Record>& records, const char* name) {
    if (records.size() < mIndexed) clear();
    if (records.size() < kHashFrom && mIndexed == 0) return indexOfName(records, name);
    // emplace keeps the first position of a name.
    for (; mIndexed < records.size(); ++mIndexed) {
        const android::String8& indexed = records[mIndexed].mName;
        mPositions.emplace(std::string(indexed.string(), indexed.length()), mIndexed);
    }
    auto found = mPositions.find(name);
    return found != mPositions.end() ? static_cast<ssize_t>(found->second) : -1;
}

}  // namespace xel
}  // namespace ornak
