#include "StartReport.h"

#include <algorithm>
#include <sstream>
#include <vector>

namespace sandbox {
namespace {

constexpr const char* kStarted = "LYR debug service started";
// The messages that end lyrd's start-up, whichever way it goes.
constexpr const char* kStartUpEnds[] = {kStarted, "No monitor is enabled",
                                        "Failed to parse config file", "Failed to enable handlers"};
// A configuration full of mistakes must not bury the line above its errors.
constexpr size_t kMostErrorsShown = 20;

struct StartUpLog {
    std::string end;                  // the message that ended start-up; empty before
    std::vector<std::string> errors;  // error and fatal lines, whole
};

// Records are "P/TAG(PID): MESSAGE" lines; only lyrd's own count.
StartUpLog readStartUp(const std::string& log, pid_t pid) {
    StartUpLog found;
    const std::string head = "(" + std::to_string(pid) + "): ";
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        size_t at = line.find(head);
        if (line.size() < 2 || line[1] != '/' || at == std::string::npos) continue;
        const std::string message = line.substr(at + head.size());
        if (line[0] == 'E' || line[0] == 'F') found.errors.push_back(line);
        if (found.end.empty() && line.compare(2, at - 2, "LyrDebugService") == 0 &&
            std::find(std::begin(kStartUpEnds), std::end(kStartUpEnds), message) !=
                    std::end(kStartUpEnds)) {
            found.end = message;
        }
    }
    return found;
}

std::string errorLines(const std::vector<std::string>& errors) {
    std::string text;
    for (size_t i = 0; i < std::min(errors.size(), kMostErrorsShown); ++i) {
        text += "  " + errors[i] + "\n";
    }
    if (errors.size() > kMostErrorsShown) {
        text += "  ... and " + std::to_string(errors.size() - kMostErrorsShown) + " more\n";
    }
    return text;
}

}  // namespace

StartReport reportStart(const std::string& log, pid_t pid, const StartUpResult& result,
                        const std::string& logPath) {
    const StartUpLog startUp = readStartUp(log, pid);
    const std::string lyrd = "lyrd (pid " + std::to_string(pid) + ")";
    const std::string where = "; its log is " + logPath + "\n";
    const bool answered = result.outcome == StartUpOutcome::kAnswered;
    StartReport report;
    if (result.outcome == StartUpOutcome::kExited) {
        report.text = "lyrd did not start: it exited with status " +
                      std::to_string(result.exitStatus) + " during start-up" + where;
    } else if (startUp.end == kStarted && answered) {
        return {lyrd + " started" + where, ""};
    } else if (startUp.end == kStarted) {
        report.text = lyrd + " started but its service did not answer" + where;
    } else if (!startUp.end.empty()) {
        report.text = lyrd + " runs but did not start its service: " + startUp.end + where;
    } else {
        report.text = lyrd + " runs but its log shows no end of its start-up" + where;
    }
    report.text += errorLines(startUp.errors);
    if (result.outcome == StartUpOutcome::kTimedOut) {
        report.warning = startUp.end.empty()
                                 ? "lyrd is running but its start-up did not end within the wait"
                                 : "lyrd is running but the service \"lyrd\" did not answer "
                                   "within the wait";
    }
    return report;
}

}  // namespace sandbox
