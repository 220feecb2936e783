// What the configuration parser tells about the file it reads. The daemon
// only writes the parser's messages to its log; an offline checker also
// listens to what each line did, to say what is wrong in a writer's words
// and to find configuration that parses but cannot do what it says.
//
// Every text handed to a reporter is valid only during the call.
#pragma once

#include <stdarg.h>
#include <stddef.h>

#include <utils/String8.h>

namespace ornak {
namespace xel {

enum class ConfigSection { kNone, kGlobal, kGHandler, kHandler, kEvent, kEvtGroup, kMonitor };

// Whether the parser uses a line, and why not.
enum class LineUse { kUsed, kTooShort, kTooLong, kComment, kNoDot };

// One line as read, its newline included; number counts from 1.
struct ConfigLine {
    size_t number;
    const char* text;  // up to its first NUL
    size_t length;     // as read, NUL bytes included
    LineUse use;
};

enum class ProblemKind {
    kNoSectionWord,
    kUnknownSection,  // the one problem that does not stop the parse
    kNoRecordName,
    kNoKeyWord,
    kUnknownKey,
    kBadValue,
    kDumpFolderNotMade,
    kNoHandlerName,
    kUnknownHandler,
    kUnknownEvent,
    kUnreadableFile,
};

// Why the value rule refused a value.
enum class ValueFault { kNone, kNoEquals, kNothingAfterEquals, kEmptyQuotes, kOpenQuote, kTooLong };

// What the parser found wrong with the current line, first cause only.
struct ConfigProblem {
    ProblemKind kind;
    ConfigSection section;  // of the line
    const char* handler;    // an event line's handler, else null
    const char* subject;    // the word, key, name or path concerned
    ValueFault fault = ValueFault::kNone;
};

// How a key reads its value.
enum class ValueKind { kText, kNumber, kSwitch, kName, kNone };

// A key of the current line that took a valid value.
struct AppliedKey {
    ConfigSection section;  // of the line
    const char* record;     // the record the line names; empty for global lines
    const char* handler;    // an event line's handler copy, else null
    const char* key;        // the key as the parser knows it, not as written
    ValueKind kind;
    const android::String8& value;
};

// A copy the current line took: a handler template into an event, an event
// into a group or a monitor, or a group's events into a monitor.
struct RecordCopy {
    ConfigSection source;  // kHandler, kEvent or kEvtGroup
    const char* name;
    ConfigSection into;  // the line's section
    const char* intoName;
};

class ConfigReporter {
  public:
    virtual ~ConfigReporter() = default;

    // A message for the system log, printf-style, at a log priority.
    virtual void log(int priority, const char* format, va_list args) = 0;

    // Each line as it is read, used or not; then, for a used line, whether
    // it applied. Problems, keys, copies and messages in between belong to
    // that line; those outside any line belong to the file.
    virtual void lineStarted(const ConfigLine&) {}
    virtual void lineEnded(bool /*applied*/) {}
    virtual void problem(const ConfigProblem&) {}
    virtual void keyApplied(const AppliedKey&) {}
    virtual void copied(const RecordCopy&) {}
};

// printf-style front of ConfigReporter::log.
void report(ConfigReporter& reporter, int priority, const char* format, ...)
        __attribute__((format(printf, 3, 4)));

}  // namespace xel
}  // namespace ornak
