#include "ParseRecorder.h"

#include <stdio.h>

#include <utility>

#include <android/log.h>

namespace checkconf {
namespace {

std::string formatMessage(const char* format, va_list args) {
    va_list measure;
    va_copy(measure, args);
    int length = vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    vsnprintf(&text[0], text.size(), format, args);
    text.pop_back();
    return text;
}

std::string orEmpty(const char* text) {
    return text != nullptr ? text : "";
}

}  // namespace

void ParseRecorder::startFile(const std::string& path) {
    FileRecord file;
    file.path = path;
    mRecord.files.push_back(file);
    mInLine = false;
}

Position ParseRecorder::here() const {
    return Position{mRecord.files.size() - 1, mRecord.files.back().lineCount};
}

// Debug messages say nothing is wrong.
void ParseRecorder::log(int priority, const char* format, va_list args) {
    if (priority < ANDROID_LOG_WARN) return;
    std::string message = formatMessage(format, args);
    if (mInLine) {
        mRecord.lines.back().messages.push_back(message);
    } else {
        mRecord.files.back().messages.push_back(message);
    }
}

void ParseRecorder::lineStarted(const ornak::xel::ConfigLine& line) {
    FileRecord& file = mRecord.files.back();
    file.lineCount = line.number;
    LineRecord record;
    record.at = here();
    record.text = line.text;
    record.length = line.length;
    record.use = line.use;
    mRecord.lines.push_back(std::move(record));
    mInLine = line.use == LineUse::kUsed;
}

void ParseRecorder::lineEnded(bool applied) {
    mRecord.lines.back().applied = applied;
    mInLine = false;
}

// The first cause is the one to tell; the rest follows from it.
void ParseRecorder::problem(const ornak::xel::ConfigProblem& problem) {
    if (!mInLine) {
        mRecord.files.back().unreadable = problem.kind == ProblemKind::kUnreadableFile;
        return;
    }
    LineRecord& line = mRecord.lines.back();
    if (line.hasProblem) return;
    line.hasProblem = true;
    line.problem = Problem{problem.kind, problem.section, problem.handler != nullptr,
                           orEmpty(problem.subject), problem.fault};
}

void ParseRecorder::keyApplied(const ornak::xel::AppliedKey& key) {
    mRecord.keys.push_back(KeyRecord{
            here(), key.section, orEmpty(key.record), key.handler != nullptr, orEmpty(key.handler),
            key.key, key.kind, std::string(key.value.string(), key.value.length())});
}

void ParseRecorder::copied(const ornak::xel::RecordCopy& copy) {
    mRecord.copies.push_back(
            CopyRecord{here(), copy.source, copy.name, copy.into, orEmpty(copy.intoName)});
}

}  // namespace checkconf
