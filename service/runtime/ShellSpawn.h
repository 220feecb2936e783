// Running a shell line with a time limit. The line runs as system() runs it
// (/bin/sh -c LINE, SIGINT and SIGQUIT at their defaults in the shell, the
// same wait status), but in a process group of its own, so that when the
// limit passes everything it started can be ended together: SIGTERM to the
// whole group, then SIGKILL two seconds later to whatever is left.
#pragma once

namespace ornak {
namespace xel {

struct ShellOutcome {
    // What system() would return: the shell's wait status, or -1 when no
    // shell could be started.
    int status = -1;
    // The limit ended the line.
    bool timedOut = false;
};

// Runs line, ending it after limitSeconds (at least 1).
ShellOutcome runShellWithin(const char* line, int limitSeconds);

}  // namespace xel
}  // namespace ornak
