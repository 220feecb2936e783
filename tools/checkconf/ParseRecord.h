// What the parser saw while it read the configuration for the checker: every
// line with its outcome and the daemon's messages for it, every key that
// took a value and every copy a line took, in file order. The checks read
// this record after the parse; nothing in it points into the parser.
#pragma once

#include <stddef.h>

#include <string>
#include <tuple>
#include <vector>

#include "config/ConfigReporter.h"

namespace checkconf {

using ornak::xel::ConfigSection;
using ornak::xel::LineUse;
using ornak::xel::ProblemKind;
using ornak::xel::ValueFault;
using ornak::xel::ValueKind;

// A line of one of the files read: 0 the main file, 1 the additional one.
struct Position {
    size_t file = 0;
    size_t line = 0;  // from 1
};
inline bool operator<(const Position& a, const Position& b) {
    return std::tie(a.file, a.line) < std::tie(b.file, b.line);
}
inline bool operator==(const Position& a, const Position& b) {
    return a.file == b.file && a.line == b.line;
}

struct Problem {
    ProblemKind kind;
    ConfigSection section;
    bool inHandler;       // the line is an event line's handler key
    std::string subject;  // empty when the parser gave none
    ValueFault fault;
};

struct LineRecord {
    Position at;
    std::string text;  // as read, newline included, up to its first NUL
    size_t length;     // as read
    LineUse use;
    bool applied = true;
    bool hasProblem = false;
    Problem problem{};
    std::vector<std::string> messages;  // what the daemon logs as warning or error
};

struct KeyRecord {
    Position at;
    ConfigSection section;
    std::string record;
    bool inHandler;  // an event line's handler key: record is the event
    std::string handler;
    std::string key;
    ValueKind kind;
    std::string value;
};

struct CopyRecord {
    Position at;
    ConfigSection source;
    std::string name;
    ConfigSection into;
    std::string intoName;
};

struct FileRecord {
    std::string path;
    size_t lineCount = 0;
    bool opened = false;  // set by whoever read it
    bool unreadable = false;
    std::vector<std::string> messages;  // about the file rather than a line
};

struct ParseRecord {
    std::vector<FileRecord> files;
    std::vector<LineRecord> lines;
    std::vector<KeyRecord> keys;
    std::vector<CopyRecord> copies;

    // The last line of the last file read, where what concerns the whole
    // configuration is reported (line 1 of an empty file).
    Position end() const {
        if (files.empty()) return Position{0, 1};
        return Position{files.size() - 1, files.back().lineCount > 0 ? files.back().lineCount : 1};
    }
};

}  // namespace checkconf
