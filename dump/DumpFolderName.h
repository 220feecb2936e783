// The name of a dump folder, "<event>_YYYYMMDD_hhmmss" in UTC, both ways:
// the dump writes it, collection reads the stamp back to order dumps.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <time.h>

#include <utils/String8.h>

namespace ornak {
namespace xel {

constexpr size_t kDumpDateDigits = 8;  // YYYYMMDD
constexpr size_t kDumpTimeDigits = 6;  // hhmmss
// Length of the stamp tail: an underscore, the date, an underscore and the
// time.
constexpr size_t kDumpStampTailLength = 1 + kDumpDateDigits + 1 + kDumpTimeDigits;

// The folder name of a dump of event at now; false when the time cannot be
// broken down.
bool makeDumpFolderName(const char* event, time_t now, android::String8& name);

// Reads the stamp from a folder name. A name has one when it is at least 16
// characters long with an underscore 16 and 7 places from its end; the
// stamp is then the 8 and the 6 characters after them, read together as a
// decimal number the way atoll reads it (a tail with letters reads up to
// the first of them, so it sorts as old). The event name in front does not
// matter. Returns false for names without that shape.
bool readDumpStamp(const char* name, uint64_t& stamp);

}  // namespace xel
}  // namespace ornak
