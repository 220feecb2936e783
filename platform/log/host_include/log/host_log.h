// Host-only controls of the log layer, for tests and host tools. The
// daemon's own code never includes this header.
#pragma once

#include <functional>
#include <string>

namespace android {
namespace host {

// Receives every record instead of standard error and the log buffer while
// set; an empty sink restores normal output. The sink may be called from
// several threads, one record at a time.
using LogSink = std::function<void(int prio, const char* tag, const char* message)>;
void setLogSink(LogSink sink);

// Folder holding the buffer files main, system, events and radio;
// "/dev/log" unless changed.
void setLogBufferDir(const std::string& dir);
std::string logBufferDir();

// Appends one record to the named buffer file ("main", "system", ...) as
// the calling process; false when the file is missing or not writable.
bool appendLogRecord(const std::string& buffer, int prio, const char* tag, const char* message);

// Formats a record the way standard error shows it: "P/TAG(PID): MESSAGE"
// with every line feed of MESSAGE written as backslash and n, no line end.
std::string formatBrief(int prio, const char* tag, int pid, const char* message);

}  // namespace host
}  // namespace android
