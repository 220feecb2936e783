// The time stamp that names a dump folder: "<event>_YYYYMMDD_hhmmss".
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace ornak {
namespace xel {

// Length of the stamp tail: an underscore, eight digits, an underscore and
// six digits.
constexpr size_t kDumpStampTailLength = 16;

// Reads the stamp from a folder name. A name has one when it is at least 16
// characters long with an underscore 16 and 7 places from its end; the
// stamp is then the 8 and the 6 characters after them, read together as a
// decimal number the way atoll reads it (a tail with letters reads up to
// the first of them, so it sorts as old). The event name in front does not
// matter. Returns false for names without that shape.
bool readDumpStamp(const char* name, uint64_t& stamp);

}  // namespace xel
}  // namespace ornak
