// An eventfd a worker thread polls beside its source, so that an exit
// request wakes it from its wait at once. Once signalled it stays readable.
#pragma once

#include <utils/UniqueFd.h>

namespace ornak {
namespace xel {

class ExitEvent {
  public:
    ExitEvent();

    // Thread-safe; may be called any number of times.
    void signal();
    // The descriptor to poll for POLLIN; -1 when it could not be made.
    int fd() const { return mFd.get(); }

  private:
    android::UniqueFd mFd;
};

}  // namespace xel
}  // namespace ornak
