// The dump folders under the log dump path: the entries that are folders
// and whose names carry a dump stamp. Nothing else there counts as a dump.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <functional>

namespace ornak {
namespace xel {

// Calls visit with the stamp of every dump folder in dumpDir, in listing
// order; false when dumpDir cannot be opened.
bool visitDumpFolders(const char* dumpDir, const std::function<void(uint64_t stamp)>& visit);

// How many dump folders dumpDir holds; 0 when it cannot be opened.
size_t countDumpFolders(const char* dumpDir);

}  // namespace xel
}  // namespace ornak
