#include "Output.h"

#include <stdio.h>

namespace checkconf {

std::string escaped(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7f) {
            char hex[5];
            snprintf(hex, sizeof(hex), "\\x%02x", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string formatDiagnostic(const Diagnostic& diagnostic, const std::vector<FileRecord>& files) {
    std::string line = files[diagnostic.at.file].path + ":" + std::to_string(diagnostic.at.line);
    line += diagnostic.severity == Severity::kError ? ": error: " : ": warning: ";
    line += escaped(diagnostic.text);
    for (const std::string& message : diagnostic.messages) line += " [" + escaped(message) + "]";
    return line;
}

std::string countLine(size_t errors, size_t warnings) {
    return std::to_string(errors) + " errors, " + std::to_string(warnings) + " warnings";
}

}  // namespace checkconf
