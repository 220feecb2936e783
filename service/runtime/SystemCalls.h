// The process boundary the service crosses: shell lines, the clock and
// file-system space. The daemon uses the real calls; tests hand the service
// their own to make system() fail or to fake the time and free space.
#pragma once

#include <sys/statfs.h>
#include <time.h>

#include <utils/Timers.h>

#include "service/runtime/ShellSpawn.h"

namespace ornak {
namespace xel {

class SystemCalls {
  public:
    virtual ~SystemCalls();

    // Runs one line through the platform shell and waits for it; the
    // result of system(): negative only when the shell could not be run.
    virtual int runShell(const char* line);
    // The same in a process group of its own, ended when it is still
    // running after limitSeconds.
    virtual ShellOutcome runShellWithin(const char* line, int limitSeconds);
    virtual time_t now();
    // The monotonic clock, which setting the time does not move.
    virtual android::nsecs_t monotonicTime();
    virtual int statFs(const char* path, struct statfs* out);

    // The real calls, shared by the whole process.
    static SystemCalls& real();
};

}  // namespace xel
}  // namespace ornak
