#include "detect/ExitEvent.h"

#include <stdint.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace ornak {
namespace xel {

ExitEvent::ExitEvent() : mFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

void ExitEvent::signal() {
    // Never read, so the counter only grows and the descriptor stays readable;
    // non-blocking so that a (theoretical) full counter cannot stall a caller.
    uint64_t one = 1;
    ssize_t ignored = ::write(mFd.get(), &one, sizeof(one));
    (void)ignored;
}

}  // namespace xel
}  // namespace ornak
