// The process boundary the service crosses: shell lines, the clock and
// file-system space. The daemon uses the real calls; tests hand the service
// their own to make system() fail or to fake the time and free space.
#pragma once

#include <sys/statfs.h>
#include <time.h>

namespace ornak {
namespace xel {

class SystemCalls {
  public:
    virtual ~SystemCalls();

    // Runs one line through the platform shell and waits for it; the
    // result of system(): negative only when the shell could not be run.
    virtual int runShell(const char* line);
    virtual time_t now();
    virtual int statFs(const char* path, struct statfs* out);

    // The real calls, shared by the whole process.
    static SystemCalls& real();
};

}  // namespace xel
}  // namespace ornak
