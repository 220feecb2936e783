#include "dump/DumpFolders.h"

#include "dump/DirListing.h"
#include "dump/DumpFolderName.h"

namespace ornak {
namespace xel {

bool visitDumpFolders(const char* dumpDir, const std::function<void(uint64_t stamp)>& visit) {
    DirPtr dir = openDirectory(dumpDir);
    if (dir == nullptr) return false;
    while (const struct dirent* entry = readdir(dir.get())) {
        uint64_t stamp;
        if (isDotEntry(entry->d_name) || !isDirectoryEntry(dir.get(), entry)) continue;
        if (readDumpStamp(entry->d_name, stamp)) visit(stamp);
    }
    return true;
}

size_t countDumpFolders(const char* dumpDir) {
    size_t count = 0;
    visitDumpFolders(dumpDir, [&count](uint64_t) { ++count; });
    return count;
}

}  // namespace xel
}  // namespace ornak
