// Waiting for something another thread or process does, without a clock in
// the test's verdict.
#pragma once

#include <functional>

namespace lyrd_test {

// Polls until condition holds; false after a deadline generous for a slow
// machine.
bool eventually(const std::function<bool()>& condition);

}  // namespace lyrd_test
