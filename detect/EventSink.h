// Where the monitor thread hands each event name it receives: the service's
// dumpEvent in the daemon, a recorder in tests.
#pragma once

#include <functional>

namespace ornak {
namespace xel {

// Called with a NUL-terminated event name, on the monitor thread only.
using EventSink = std::function<void(const char* name)>;

}  // namespace xel
}  // namespace ornak
