// Reading a configuration file: which lines are used, and how each is split
// into section word and record name before its key applies.
#include "config/ConfigParser.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <memory>

#include <android/log.h>

#include "config/ConfigLineSplit.h"
#include "config/Event.h"
#include "config/EventGroup.h"
#include "config/Handler.h"
#include "config/KeyContext.h"
#include "config/Monitor.h"
#include "config/SectionKeys.h"

namespace ornak {
namespace xel {
namespace {

// Lines shorter or longer than this (newline included) are skipped.
constexpr ssize_t kMinLineLength = 2;
constexpr ssize_t kMaxLineLength = 1023;

struct FileCloser {
    void operator()(FILE* file) const { fclose(file); }
};

// getline's growing buffer, released on every way out of a parse.
struct LineBuffer {
    char* text = nullptr;
    size_t capacity = 0;
    ~LineBuffer() { free(text); }
};

// Finds the record called name, or appends it with its defaults, and
// applies the line's key to it. A record created here stays even when the
// key fails.
template <typename Record>
status_t applyToRecord(KeyContext& context, Vector<Record>& records, NameIndex& names,
                       const char* name, status_t (*applyKey)(KeyContext&, Record&)) {
    ssize_t index = names.find(records, name);
    if (index < 0) {
        index = records.add();
        records.editItemAt(index).mName.setTo(name);
    }
    return applyKey(context, records.editItemAt(index));
}

status_t applyGHandler(KeyContext& c, const char* name) {
    return applyToRecord(c, c.config.mGlobalHandlers, c.index.globalHandlers, name, parseHandlerKey);
}
status_t applyHandler(KeyContext& c, const char* name) {
    return applyToRecord(c, c.config.mHandlers, c.index.handlers, name, parseHandlerKey);
}
status_t applyEvent(KeyContext& c, const char* name) {
    return applyToRecord(c, c.config.mEvents, c.index.events, name, parseEventKey);
}
status_t applyEvtGroup(KeyContext& c, const char* name) {
    return applyToRecord(c, c.config.mEventGroups, c.index.eventGroups, name, parseEventGroupKey);
}
status_t applyMonitor(KeyContext& c, const char* name) {
    return applyToRecord(c, c.config.mMonitors, c.index.monitors, name, parseMonitorKey);
}

// The sections that hold named records, in matching order, with the sites
// that report a missing record name and a failed key.
struct RecordSection {
    const char* word;
    ConfigSection section;
    int noNameSite;
    int keySite;
    status_t (*apply)(KeyContext& context, const char* name);
};
constexpr RecordSection kRecordSections[] = {
        {"ghandler", ConfigSection::kGHandler, 950, 956, applyGHandler},
        {"handler", ConfigSection::kHandler, 961, 967, applyHandler},
        {"event", ConfigSection::kEvent, 972, 978, applyEvent},
        {"evtgroup", ConfigSection::kEvtGroup, 983, 989, applyEvtGroup},
        {"monitor", ConfigSection::kMonitor, 994, 1000, applyMonitor},
};

// A line is used when it fits the window, is no "//" comment and holds a
// dot. The length is what was read; the text counts up to its first NUL.
LineUse useOf(const char* line, ssize_t length) {
    if (length < kMinLineLength) return LineUse::kTooShort;
    if (length > kMaxLineLength) return LineUse::kTooLong;
    if (line[0] == '/' && line[1] == '/') return LineUse::kComment;
    return strchr(line, '.') != nullptr ? LineUse::kUsed : LineUse::kNoDot;
}

const RecordSection* matchRecordSection(const char* word) {
    for (const RecordSection& section : kRecordSections) {
        if (startsWith(word, section.word)) return &section;
    }
    return nullptr;
}

// Applies one used line through its split.
status_t applyLine(KeyContext& context) {
    const char* sectionWord = context.split.nextWord();
    if (sectionWord == nullptr) {
        context.problem(ProblemKind::kNoSectionWord, nullptr);
        return context.failAtSite(940);
    }
    if (strcmp(sectionWord, "global") == 0) {
        context.section = ConfigSection::kGlobal;
        return parseGlobalKey(context, context.config) == 0 ? android::NO_ERROR
                                                            : context.failAtSite(945);
    }
    const RecordSection* section = matchRecordSection(sectionWord);
    if (section == nullptr) {
        // An unknown section is the one problem that does not stop the parse.
        context.problem(ProblemKind::kUnknownSection, sectionWord);
        report(context.reporter, ANDROID_LOG_ERROR, "Config file parsing error: %s", context.line);
        return android::NO_ERROR;
    }
    context.section = section->section;
    const char* name = context.split.nextWord();
    if (name == nullptr) {
        context.problem(ProblemKind::kNoRecordName, nullptr);
        return context.failAtSite(section->noNameSite);
    }
    context.record = name;
    if (section->apply(context, name) != 0) return context.failAtSite(section->keySite);
    return android::NO_ERROR;
}

}  // namespace

ConfigParser::ConfigParser(Configuration& config, ConfigEffects& effects, ConfigReporter& reporter,
                           OnFailure onFailure)
    : mConfig(config), mEffects(effects), mReporter(reporter), mOnFailure(onFailure) {}

status_t ConfigParser::parseFile(const char* path) {
    mConfigIndex.clear();
    std::unique_ptr<FILE, FileCloser> file(fopen(path, "re"));
    if (file == nullptr) {
        report(mReporter, ANDROID_LOG_ERROR, "Failed to open config file %s", path);
        return android::UNKNOWN_ERROR;
    }
    status_t result = android::NO_ERROR;
    LineBuffer buffer;
    ssize_t length;
    for (size_t number = 1; (length = getline(&buffer.text, &buffer.capacity, file.get())) >= 0;
         ++number) {
        LineUse use = useOf(buffer.text, length);
        mReporter.lineStarted({number, buffer.text, static_cast<size_t>(length), use});
        if (use != LineUse::kUsed) continue;
        status_t status = parseLine(buffer.text);
        mReporter.lineEnded(status == android::NO_ERROR);
        if (status == android::NO_ERROR) continue;
        if (mOnFailure == OnFailure::kStop) return android::BAD_VALUE;
        result = android::BAD_VALUE;
    }
    // A file that could not be read to its end is no shorter file: a
    // directory, say, or an I/O error part-way.
    if (ferror(file.get())) {
        int error = errno;
        mReporter.problem(
                {ProblemKind::kUnreadableFile, ConfigSection::kNone, nullptr, strerror(error)});
        report(mReporter, ANDROID_LOG_ERROR, "Failed to read config file %s, %s", path,
               strerror(error));
        return android::BAD_VALUE;
    }
    return result;
}

status_t ConfigParser::parseLine(const char* line) {
    ConfigLineSplit split(line);
    KeyContext context{mConfig, mConfigIndex, mEffects, mReporter, split, line};
    return applyLine(context);
}

}  // namespace xel
}  // namespace ornak
