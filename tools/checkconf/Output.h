// The checker's output: one line per problem, PATH:LINE: error: TEXT or
// PATH:LINE: warning: TEXT, each followed by the daemon's own messages for
// that line in brackets; then the count line.
#pragma once

#include <string>
#include <vector>

#include "Diagnostic.h"

namespace checkconf {

// Control characters would break the one-line form: a line feed is written
// as \n (as the host log writes it), a carriage return as \r, a tab as \t,
// any other as \xHH.
std::string escaped(const std::string& text);

std::string formatDiagnostic(const Diagnostic& diagnostic, const std::vector<FileRecord>& files);

std::string countLine(size_t errors, size_t warnings);

}  // namespace checkconf
