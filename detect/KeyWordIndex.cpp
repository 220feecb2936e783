#include "detect/KeyWordIndex.h"

#include <string>
#include <unordered_map>
#include <utility>

namespace ornak {
namespace xel {
namespace {

using PlacedName = std::pair<uint32_t, uint32_t>;  // place, name id

// Ids handed out in order of first appearance.
class IdTable {
  public:
    // The id of text, and whether it is new.
    std::pair<uint32_t, bool> idOf(const std::string& text) {
        auto [entry, added] = mIds.emplace(text, static_cast<uint32_t>(mIds.size()));
        return {entry->second, added};
    }

  private:
    std::unordered_map<std::string, uint32_t> mIds;
};

// Keeps, for each name, only its first place: a later event copy of the
// same name can never raise it earlier.
void keepFirstPlaces(std::vector<PlacedName>& raises) {
    std::vector<PlacedName> byName(raises);
    std::sort(byName.begin(), byName.end(), [](const PlacedName& a, const PlacedName& b) {
        return a.second != b.second ? a.second < b.second : a.first < b.first;
    });
    raises.clear();
    for (size_t i = 0; i < byName.size(); ++i) {
        if (i == 0 || byName[i].second != byName[i - 1].second) raises.push_back(byName[i]);
    }
    std::sort(raises.begin(), raises.end());
}

}  // namespace

KeyWordIndex::KeyWordIndex(const Vector<LyrDebugService::Monitor>& monitors) {
    IdTable keyWordIds;
    IdTable nameIds;
    std::vector<std::string> patterns;
    std::vector<std::vector<PlacedName>> raisesOf;
    std::vector<PlacedName> always;

    uint32_t place = 0;
    for (const LyrDebugService::Monitor& monitor : monitors) {
        if (!monitor.mEnabled) continue;
        for (const LyrDebugService::Event& event : monitor.mEvents) {
            auto [name, newName] = nameIds.idOf(event.mName.c_str());
            if (newName) mNames.push_back(event.mName);
            for (const String8& keyWord : event.mKeyWords) {
                // A key word is searched for up to its first NUL.
                std::string text(keyWord.c_str());
                if (text.empty()) {
                    always.emplace_back(place, name);
                    continue;
                }
                auto [id, newKeyWord] = keyWordIds.idOf(text);
                if (newKeyWord) {
                    patterns.push_back(text);
                    raisesOf.emplace_back();
                }
                raisesOf[id].emplace_back(place, name);
            }
            ++place;
        }
    }

    mAutomaton = KeyWordAutomaton(patterns);
    mKeyWordCount = patterns.size() + (always.empty() ? 0 : 1);
    for (std::vector<PlacedName>& raises : raisesOf) {
        keepFirstPlaces(raises);
        for (const PlacedName& raise : raises) mRaises.push_back({raise.first, raise.second});
        mRaiseStart.push_back(static_cast<uint32_t>(mRaises.size()));
    }
    keepFirstPlaces(always);
    for (const PlacedName& raise : always) mAlways.push_back({raise.first, raise.second});
}

size_t KeyWordIndex::memoryBytes() const {
    size_t names = 0;
    for (const String8& name : mNames) names += sizeof(String8) + name.length() + 1;
    return mAutomaton.memoryBytes() + mRaiseStart.capacity() * sizeof(uint32_t) +
           (mRaises.capacity() + mAlways.capacity()) * sizeof(KeyWordIndex::Raise) + names;
}

KeyWordScan::KeyWordScan(const KeyWordIndex& index)
    : mIndex(index),
      mKeyWordStamp(index.mRaiseStart.size() - 1, 0),
      mNameStamp(index.mNames.size(), 0) {}

void KeyWordScan::beginMatch() {
    if (++mStamp == 0) {
        // After 2^32 matches the stamps start over from a clean slate.
        std::fill(mKeyWordStamp.begin(), mKeyWordStamp.end(), 0);
        std::fill(mNameStamp.begin(), mNameStamp.end(), 0);
        mStamp = 1;
    }
    mFound.assign(mIndex.mAlways.begin(), mIndex.mAlways.end());
}

bool KeyWordScan::takeKeyWord(size_t keyWord) {
    if (mKeyWordStamp[keyWord] == mStamp) return false;
    mKeyWordStamp[keyWord] = mStamp;
    const Raise* first = mIndex.mRaises.data() + mIndex.mRaiseStart[keyWord];
    const Raise* last = mIndex.mRaises.data() + mIndex.mRaiseStart[keyWord + 1];
    mFound.insert(mFound.end(), first, last);
    return true;
}

}  // namespace xel
}  // namespace ornak
