// Reading a configuration file: which lines are used, how each is split
// into section word and record name, and the value rule every key uses.
#define LOG_TAG "LyrDebugService"

#include "service/LyrDebugService.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <memory>

#include <log/log.h>

#include "config/ConfigLineSplit.h"
#include "config/Event.h"
#include "config/EventGroup.h"
#include "config/Handler.h"
#include "config/Monitor.h"
#include "config/ParserSupport.h"

namespace ornak {
namespace xel {
namespace {

// Lines shorter or longer than this (newline included) are skipped.
constexpr ssize_t kMinLineLength = 2;
constexpr ssize_t kMaxLineLength = 1023;
constexpr size_t kMaxValueLength = 1023;

struct FileCloser {
    void operator()(FILE* file) const { fclose(file); }
};

// getline's growing buffer, released on every way out of a parse.
struct LineBuffer {
    char* text = nullptr;
    size_t capacity = 0;
    ~LineBuffer() { free(text); }
};

// Points the service's split slot at the current line's split for one
// scope and puts back what was there before.
class SplitScope {
  public:
    SplitScope(ConfigLineSplit*& slot, ConfigLineSplit* split) : mSlot(slot), mSaved(slot) {
        mSlot = split;
    }
    ~SplitScope() { mSlot = mSaved; }
    SplitScope(const SplitScope&) = delete;
    SplitScope& operator=(const SplitScope&) = delete;

  private:
    ConfigLineSplit*& mSlot;
    ConfigLineSplit* mSaved;
};

enum class Section { kGHandler, kHandler, kEvent, kEvtGroup, kMonitor };

// The sections that hold named records, in matching order, with the sites
// that report a missing record name and a failed key.
struct RecordSection {
    const char* word;
    Section section;
    int noNameSite;
    int keySite;
};
constexpr RecordSection kRecordSections[] = {
        {"ghandler", Section::kGHandler, 950, 956}, {"handler", Section::kHandler, 961, 967},
        {"event", Section::kEvent, 972, 978},       {"evtgroup", Section::kEvtGroup, 983, 989},
        {"monitor", Section::kMonitor, 994, 1000},
};

// A line is used when it fits the window, is no "//" comment and holds a
// dot. The length is what was read; the text counts up to its first NUL.
bool isUsedLine(const char* line, ssize_t length) {
    if (length < kMinLineLength || length > kMaxLineLength) return false;
    if (line[0] == '/' && line[1] == '/') return false;
    return strchr(line, '.') != nullptr;
}

const RecordSection* matchRecordSection(const char* word) {
    for (const RecordSection& section : kRecordSections) {
        if (startsWith(word, section.word)) return &section;
    }
    return nullptr;
}

// Finds the record called name, or appends it with its defaults, and
// applies the line's key to it. A record created here stays even when the
// key fails.
template <typename Record, typename KeyOperation>
status_t applyToRecord(LyrDebugService& service, Vector<Record>& records, NameIndex& names,
                       const char* name, KeyOperation applyKey) {
    ssize_t index = names.find(records, name);
    if (index < 0) {
        index = records.add();
        records.editItemAt(index).mName.setTo(name);
        records.editItemAt(index).mService = &service;
    }
    return applyKey(records.editItemAt(index));
}

status_t applyRecordLine(LyrDebugService& service, Section section, const char* name,
                         const char* line) {
    using S = LyrDebugService;
    switch (section) {
        case Section::kGHandler:
            return applyToRecord(service, service.mGlobalHandlers,
                                 service.mConfigIndex.globalHandlers, name,
                                 [&](S::Handler& h) { return service.parseHandlerKey(h, line); });
        case Section::kHandler:
            return applyToRecord(service, service.mHandlers, service.mConfigIndex.handlers, name,
                                 [&](S::Handler& h) { return service.parseHandlerKey(h, line); });
        case Section::kEvent:
            return applyToRecord(service, service.mEvents, service.mConfigIndex.events, name,
                                 [&](S::Event& e) { return service.parseEventKey(e, line); });
        case Section::kEvtGroup:
            return applyToRecord(
                    service, service.mEventGroups, service.mConfigIndex.eventGroups, name,
                    [&](S::EventGroup& g) { return service.parseEventGroupKey(g, line); });
        case Section::kMonitor:
            return applyToRecord(service, service.mMonitors, service.mConfigIndex.monitors, name,
                                 [&](S::Monitor& m) { return service.parseMonitorKey(m, line); });
    }
    return android::BAD_VALUE;
}

// Applies one used line; split is the line's split, already in the
// service's slot so that the key operations take their words from it.
status_t applyLine(LyrDebugService& service, ConfigLineSplit& split, const char* line) {
    const char* sectionWord = split.nextWord();
    if (sectionWord == nullptr) return failAtSite(940, line);
    if (strcmp(sectionWord, "global") == 0) {
        return service.parseGlobalKey(line) == 0 ? android::NO_ERROR : failAtSite(945, line);
    }
    const RecordSection* section = matchRecordSection(sectionWord);
    if (section == nullptr) {
        // An unknown section is the one problem that does not stop the parse.
        ALOGE("Config file parsing error: %s", line);
        return android::NO_ERROR;
    }
    const char* name = split.nextWord();
    if (name == nullptr) return failAtSite(section->noNameSite, line);
    if (applyRecordLine(service, section->section, name, line) != 0) {
        return failAtSite(section->keySite, line);
    }
    return android::NO_ERROR;
}

// Finds the value in the text that starts with the key word. The first "="
// there ends the key part, so a value may itself hold "=", and so may a
// record name, which comes before the key word.
bool findValue(const char* keyPart, const char** value, size_t* length) {
    const char* equals = strchr(keyPart, '=');
    if (equals == nullptr) return false;
    const char* begin = equals + 1;
    while (*begin == ' ') ++begin;  // blanks are spaces only, never tabs
    if (*begin == '\0') return false;
    const char* end = begin + strlen(begin);
    if (end[-1] == '\n') --end;
    if (*begin == '"') {
        if (end - begin < 2 || end[-1] != '"') return false;
        ++begin;
        --end;
    }
    size_t size = static_cast<size_t>(end - begin);
    if (size == 0 || size > kMaxValueLength) return false;
    // Trailing blanks go even inside quotes: a quoted run of blanks becomes
    // the empty value.
    while (size > 0 && begin[size - 1] == ' ') --size;
    *value = begin;
    *length = size;
    return true;
}

}  // namespace

status_t LyrDebugService::parseConfigFile(const char* path) {
    // The lists may have changed since the last parse in ways the indexes
    // cannot follow.
    mConfigIndex.clear();
    std::unique_ptr<FILE, FileCloser> file(fopen(path, "re"));
    if (file == nullptr) {
        ALOGE("Failed to open config file %s", path);
        return android::UNKNOWN_ERROR;
    }
    LineBuffer buffer;
    ssize_t length;
    while ((length = getline(&buffer.text, &buffer.capacity, file.get())) >= 0) {
        if (!isUsedLine(buffer.text, length)) continue;
        ConfigLineSplit split(buffer.text);
        SplitScope scope(mSplit, &split);
        if (applyLine(*this, split, buffer.text) != android::NO_ERROR) return android::BAD_VALUE;
    }
    // A file that could not be read to its end is no shorter file: a
    // directory, say, or an I/O error part-way.
    if (ferror(file.get())) {
        ALOGE("Failed to read config file %s, %s", path, strerror(errno));
        return android::BAD_VALUE;
    }
    return android::NO_ERROR;
}

int LyrDebugService::getConfigValue(const char* line, String8& value) {
    value.clear();
    // While a line is being parsed, its key part starts at the key word
    // taken last; otherwise the whole line is searched.
    size_t keyStart = mSplit != nullptr && mSplit->isSplitOf(line) ? mSplit->lastWordOffset() : 0;
    const char* begin = nullptr;
    size_t length = 0;
    if (!findValue(line + keyStart, &begin, &length)) {
        ALOGE("Invalid line in config file: %s", line);
        return -1;
    }
    value.setTo(begin, length);
    return 0;
}

}  // namespace xel
}  // namespace ornak
