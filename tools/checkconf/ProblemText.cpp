#include "ProblemText.h"

#include <vector>

#include "Diagnostic.h"
#include "config/SectionKeys.h"

namespace checkconf {
namespace {

using ornak::xel::ValueFault;

const char* lineForm(ConfigSection section, bool inHandler) {
    switch (section) {
        case ConfigSection::kGlobal:
            return "global.KEY=VALUE";
        case ConfigSection::kGHandler:
            return "ghandler.NAME.KEY=VALUE";
        case ConfigSection::kHandler:
            return "handler.NAME.KEY=VALUE";
        case ConfigSection::kEvent:
            return inHandler ? "event.NAME.handler.HANDLER.KEY=VALUE" : "event.NAME.KEY=VALUE";
        case ConfigSection::kEvtGroup:
            return "evtgroup.NAME.event=EVENT";
        case ConfigSection::kMonitor:
            return "monitor.NAME.KEY=VALUE";
        case ConfigSection::kNone:
            break;
    }
    return "SECTION.NAME.KEY=VALUE";
}

// The keys a line of section may give, from the parser's own tables.
std::string keyList(ConfigSection section, bool inHandler) {
    std::vector<const char*> words;
    if (inHandler || section == ConfigSection::kGHandler || section == ConfigSection::kHandler) {
        words = ornak::xel::handlerKeyWords();
    } else if (section == ConfigSection::kGlobal) {
        words = ornak::xel::globalKeyWords();
    } else if (section == ConfigSection::kEvent) {
        words = ornak::xel::eventKeyWords();
    } else if (section == ConfigSection::kEvtGroup) {
        words = ornak::xel::eventGroupKeyWords();
    } else {
        words = ornak::xel::monitorKeyWords();
    }
    std::string list;
    for (const char* word : words) list += (list.empty() ? "" : ", ") + std::string(word);
    return list;
}

// A key word as split runs on to the value and the line end; the writer
// knows it by what comes before the "=".
std::string keyAsWritten(const std::string& word) {
    std::string key = word.substr(0, word.find('='));
    while (!key.empty() && (key.back() == '\n' || key.back() == '\r')) key.pop_back();
    return key;
}

bool endsInCrLf(const std::string& text) {
    return text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0;
}

std::string valueText(const Problem& problem, const std::string& line) {
    const std::string& key = problem.subject;
    switch (problem.fault) {
        case ValueFault::kNoEquals:
            return "the key " + key + " has no \"=\" and so no value";
        case ValueFault::kNothingAfterEquals:
            return "the key " + key + " has no value after \"=\"";
        case ValueFault::kEmptyQuotes:
            return "the value of " + key + " is empty (\"\")";
        case ValueFault::kOpenQuote:
            return "the value of " + key +
                   " begins with a double quote, but the line does not end with one" +
                   (endsInCrLf(line) ? " (the line ends in CR LF)" : "");
        case ValueFault::kTooLong:
            return "the value of " + key + " is longer than 1023 bytes";
        case ValueFault::kNone:
            break;
    }
    return "the value of " + key + " is invalid";
}

}  // namespace

const char* sectionName(ConfigSection section) {
    switch (section) {
        case ConfigSection::kGlobal:
            return "global";
        case ConfigSection::kGHandler:
            return "global handler";
        case ConfigSection::kHandler:
            return "handler";
        case ConfigSection::kEvent:
            return "event";
        case ConfigSection::kEvtGroup:
            return "event group";
        case ConfigSection::kMonitor:
            return "monitor";
        case ConfigSection::kNone:
            break;
    }
    return "unknown";
}

std::string problemText(const LineRecord& line) {
    const Problem& problem = line.problem;
    const std::string form = lineForm(problem.section, problem.inHandler);
    switch (problem.kind) {
        case ProblemKind::kNoSectionWord:
            return "the line holds nothing but dots";
        case ProblemKind::kUnknownSection:
            return "unknown section " + quoted(problem.subject) +
                   ", a likely typo: the line is ignored";
        case ProblemKind::kNoRecordName:
            return std::string("the line names no ") + sectionName(problem.section) + ": write " +
                   form;
        case ProblemKind::kNoKeyWord:
            return "the line gives no key: write " + form;
        case ProblemKind::kUnknownKey: {
            bool handlerKey = problem.inHandler || problem.section == ConfigSection::kGHandler;
            return std::string("unknown ") +
                   (handlerKey ? "handler" : sectionName(problem.section)) + " key " +
                   quoted(keyAsWritten(problem.subject)) + "; the keys are " +
                   keyList(problem.section, problem.inHandler);
        }
        case ProblemKind::kBadValue:
            return valueText(problem, line.text);
        case ProblemKind::kDumpFolderNotMade:
            return "the dump folder " + quoted(problem.subject) + " cannot be made";
        case ProblemKind::kNoHandlerName:
            return std::string("no handler name after \"handler\": write ") +
                   lineForm(ConfigSection::kEvent, true);
        case ProblemKind::kUnknownHandler:
            return "no handler line before this one defines handler " + quoted(problem.subject) +
                   " (an event takes handlers, not global handlers)";
        case ProblemKind::kUnknownEvent:
            return "no event line before this one defines event " + quoted(problem.subject);
        case ProblemKind::kUnreadableFile:
            break;
    }
    return "the daemon rejects this line";
}

}  // namespace checkconf
