// The value rule every key uses: where a line's value begins and ends.
#pragma once

#include <stddef.h>

#include <utils/String8.h>

#include "config/ConfigReporter.h"

namespace ornak {
namespace xel {

// The longest value a key takes.
constexpr size_t kMaxValueLength = 1023;

// Reads the value of line into value, searching for the "=" that ends the
// key part from keyStart, the offset where the key word begins. Gives
// kNone on success; otherwise value is empty and "Invalid line in config
// file: %s" is logged with the line.
ValueFault readConfigValue(ConfigReporter& reporter, const char* line, size_t keyStart,
                           android::String8& value);

}  // namespace xel
}  // namespace ornak
