#include "Diagnostic.h"

namespace checkconf {

std::string lineName(const ParseRecord& record, Position at, Position other) {
    if (other.file == at.file) return "line " + std::to_string(other.line);
    return record.files[other.file].path + ":" + std::to_string(other.line);
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

}  // namespace checkconf
