// The size of a directory tree, as the dump procedure weighs the dump tree
// before every dump.
#pragma once

#include <stdint.h>

namespace ornak {
namespace xel {

// Adds to total the size in bytes of everything under path (absolute or
// relative to the working directory). A symbolic link counts with the size
// of its target and is never followed into a folder; folders add only their
// contents. A folder that cannot be opened is logged ("cannot open
// directory", with path as given at the top and the bare entry name below)
// and left out; an entry that vanishes or cannot be examined is left out
// silently. Never changes the working directory; total is never reset.
void getDirSize(const char* path, int64_t& total);

}  // namespace xel
}  // namespace ornak
