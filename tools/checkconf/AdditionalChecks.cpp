// The additional file: read as the daemon would read it, or said to be
// unchecked, unreadable or never read at all.
#include "Checks.h"

namespace checkconf {
namespace {

constexpr size_t kMainFile = 0;
constexpr size_t kAdditionalFile = 1;

bool isAdditionalPath(const KeyRecord& key) {
    return key.section == ConfigSection::kGlobal && key.key == "additional_conf_path";
}

// The main file's last additional_conf_path line: the path the daemon reads.
const KeyRecord* namingLine(const ParseRecord& record) {
    const KeyRecord* last = nullptr;
    for (const KeyRecord& key : record.keys) {
        if (isAdditionalPath(key) && key.at.file == kMainFile) last = &key;
    }
    return last;
}

void checkReading(const ParseRecord& record, const KeyRecord& naming, Diagnostics& out) {
    const FileRecord& file = record.files[kAdditionalFile];
    std::string problem = !file.opened      ? " cannot be opened"
                          : file.unreadable ? " cannot be read to its end"
                                            : "";
    if (problem.empty()) return;
    out.push_back(Diagnostic{naming.at, Severity::kError,
                             "the additional file " + quoted(file.path) + problem, file.messages});
}

}  // namespace

void checkAdditionalFile(const ParseRecord& record, const std::optional<std::string>& additional,
                         Diagnostics& out) {
    for (const KeyRecord& key : record.keys) {
        if (isAdditionalPath(key) && key.at.file == kAdditionalFile) {
            addWarning(out, key.at,
                       "an additional file cannot name another: no third file is ever read");
        }
    }
    const KeyRecord* naming = namingLine(record);
    if (naming == nullptr) {
        if (!additional) return;
        size_t lines = record.files[kMainFile].lineCount;
        addWarning(out, Position{kMainFile, lines > 0 ? lines : 1},
                   "no additional_conf_path names an additional file, so " + quoted(*additional) +
                           " was not read");
    } else if (record.files.size() <= kAdditionalFile) {
        addWarning(out, naming->at,
                   "the additional file " + quoted(naming->value) +
                           " is not here and was not checked: give it with --additional FILE");
    } else {
        checkReading(record, *naming, out);
    }
}

}  // namespace checkconf
