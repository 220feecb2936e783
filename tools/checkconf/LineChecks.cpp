// Lines as lines: those the daemon rejects, and those it ignores where the
// writer meant something.
#include <string.h>

#include "Checks.h"
#include "ProblemText.h"

namespace checkconf {
namespace {

bool endsInCr(const std::string& text) {
    size_t end = text.size();
    if (end > 0 && text[end - 1] == '\n') --end;
    return end > 0 && text[end - 1] == '\r';
}

void checkUsedLine(const LineRecord& line, Diagnostics& out) {
    if (!line.applied) {
        out.push_back(Diagnostic{line.at, Severity::kError, problemText(line), line.messages});
    } else if (line.hasProblem) {
        out.push_back(Diagnostic{line.at, Severity::kWarning, problemText(line), line.messages});
    }
}

// A line the daemon never reads is worth a word only when it looks like a
// setting.
void checkIgnoredLine(const LineRecord& line, Diagnostics& out) {
    if (line.use == LineUse::kTooLong) {
        addWarning(out, line.at,
                   "the line is " + std::to_string(line.length) +
                           " bytes long, over the 1023 the daemon reads: it is ignored");
    } else if (line.use == LineUse::kNoDot && line.text.find('=') != std::string::npos) {
        addWarning(out, line.at, "the line holds no dot: it is ignored");
    }
}

}  // namespace

void checkLines(const ParseRecord& record, Diagnostics& out) {
    std::vector<bool> crTold(record.files.size(), false);
    for (const LineRecord& line : record.lines) {
        if (line.use == LineUse::kUsed) {
            checkUsedLine(line, out);
        } else {
            checkIgnoredLine(line, out);
        }
        // Once per file is enough: every line after it is alike.
        if (!crTold[line.at.file] && endsInCr(line.text)) {
            crTold[line.at.file] = true;
            addWarning(out, line.at,
                       "the file has CR LF line ends: every value keeps the carriage return");
        }
    }
}

}  // namespace checkconf
