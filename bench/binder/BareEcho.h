// The floor a binder round trip is weighed against: a small message sent
// over a local socket pair by one thread and echoed back by another.
#pragma once

#include <chrono>

namespace bench {

// Runs pairs echo pairs at once for duration; the mean round trip of one
// pair in microseconds, or a negative value when a socket failed.
double measureBareEcho(int pairs, std::chrono::milliseconds duration);

}  // namespace bench
