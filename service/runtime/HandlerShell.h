// Where handler command lines go: the process boundary they cross and the
// time limit of each line. Passed to every handler pass, so that a record
// never reaches for a shell of its own.
#pragma once

#include <stdint.h>

#include "service/runtime/SystemCalls.h"

namespace ornak {
namespace xel {

struct HandlerShell {
    SystemCalls& system;
    int32_t limitSeconds;  // 0: no limit
};

}  // namespace xel
}  // namespace ornak
