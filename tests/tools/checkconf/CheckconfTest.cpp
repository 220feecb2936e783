// What lyrd-checkconf says about configuration texts: the lines the daemon
// rejects, and the configuration that parses but cannot do what it says.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "CheckconfRun.h"

namespace checkconf {
namespace {

// Line number (from 1) of text, newline included, as the daemon logs it.
std::string lineOf(const std::string& text, int number) {
    size_t begin = 0;
    for (int i = 1; i < number; ++i) begin = text.find('\n', begin) + 1;
    size_t end = text.find('\n', begin);
    return text.substr(begin, end == std::string::npos ? std::string::npos : end - begin + 1);
}

std::string escapedLine(std::string line) {
    for (auto [from, to] : {std::pair<char, const char*>{'\r', "\\r"}, {'\n', "\\n"}}) {
        for (size_t at; (at = line.find(from)) != std::string::npos;) line.replace(at, 1, to);
    }
    return line;
}

// "N|TEXT|M...": the error at line N of config, with the daemon's messages
// for it, where "@S" stands for "Config file parsing error at line S:
// <line>" and "!S" for the two messages of an invalid value at site S.
std::string expectedError(const std::string& config, const std::string& error) {
    std::vector<std::string> fields;
    std::string field;
    for (char c : error + "|") {
        if (c != '|') {
            field += c;
            continue;
        }
        fields.push_back(field);
        field.clear();
    }
    std::string line = escapedLine(lineOf(config, std::stoi(fields[0])));
    std::string out = "c.conf:" + fields[0] + ": error: " + fields[1];
    for (size_t i = 2; i < fields.size(); ++i) {
        const std::string& m = fields[i];
        if (m[0] == '@') {
            out += " [Config file parsing error at line " + m.substr(1) + ": " + line + "]";
        } else if (m[0] == '!') {
            out += " [Invalid line in config file: " + line + "] [Set value failed at line " +
                   m.substr(1) + "]";
        } else {
            out += " [" + m + "]";
        }
    }
    return out;
}

Lines errorsOf(const Lines& out) {
    Lines errors;
    std::copy_if(out.begin(), out.end(), std::back_inserter(errors), [](const std::string& line) {
        return line.find(": error: ") != std::string::npos;
    });
    return errors;
}

TEST(Checkconf, EachLineTheDaemonRejectsIsAnErrorInWordsAndInTheDaemonsMessages) {
    const std::string handlerKeys = "; the keys are init, dump, on, level, epara, dpara";
    const std::pair<std::string, std::string> cases[] = {
            {"...", "1|the line holds nothing but dots|@940"},
            {"global.", "1|the line gives no key: write global.KEY=VALUE|@676|@945"},
            {"global.foo=1\n",
             "1|unknown global key \"foo\"; the keys are log_dump_path, additional_conf_path, "
             "logcat_grep, kmsg_grep, max_dump_count, max_dump_space, min_free_space, "
             "handler_timeout|Unknown key "
             "word foo=1\\n in global section|@945"},
            {"global.max_dump_count=\n",
             "1|the key max_dump_count has no value after \"=\"|!713|@945"},
            {"ghandler.", "1|the line names no global handler: write ghandler.NAME.KEY=VALUE|@950"},
            {"handler.", "1|the line names no handler: write handler.NAME.KEY=VALUE|@961"},
            {"event.", "1|the line names no event: write event.NAME.KEY=VALUE|@972"},
            {"evtgroup.", "1|the line names no event group: write evtgroup.NAME.event=EVENT|@983"},
            {"monitor.", "1|the line names no monitor: write monitor.NAME.KEY=VALUE|@994"},
            {"ghandler.g", "1|the line gives no key: write ghandler.NAME.KEY=VALUE|@738|@956"},
            {"handler.h.bogus=1\n", "1|unknown handler key \"bogus\"" + handlerKeys +
                                            "|Unknown key word bogus=1\\n in handler section|@967"},
            {"event.e", "1|the line gives no key: write event.NAME.KEY=VALUE|@781|@978"},
            {"event.e.what=1\n",
             "1|unknown event key \"what\"; the keys are handler, key_word, uevent, policy, "
             "min_interval|Unknown "
             "key word what=1\\n in event section|@978"},
            {"event.e.handler",
             "1|no handler name after \"handler\": write event.NAME.handler.HANDLER.KEY=VALUE|@786|"
             "@978"},
            {"ghandler.g.on=1\nevent.e.handler.g.on=1\n",
             "2|no handler line before this one defines handler \"g\" (an event takes handlers, "
             "not "
             "global handlers)|@792|@978"},
            {"handler.h.on=1\nevent.e.handler.h.level= \n",
             "2|the key level has no value after \"=\"|!754|@797|@978"},
            {"handler.h.on=1\nevent.e.handler.h.lvl=1\n",
             "2|unknown handler key \"lvl\"" + handlerKeys +
                     "|Unknown key word lvl=1\\n in handler section|@797|@978"},
            {"handler.h.on=1\nevent.e.handler.h",
             "2|the line gives no key: write event.NAME.handler.HANDLER.KEY=VALUE|@738|@797|@978"},
            {"evtgroup.g", "1|the line gives no key: write evtgroup.NAME.event=EVENT|@830|@989"},
            {"evtgroup.g.monitor=m\n",
             "1|unknown event group key \"monitor\"; the keys are event|Unknown key word "
             "monitor=m\\n in event group section|@989"},
            {"evtgroup.g.event=nope\n",
             "1|no event line before this one defines event \"nope\"|@838|@989"},
            {"monitor.m", "1|the line gives no key: write monitor.NAME.KEY=VALUE|@856|@1000"},
            {"monitor.m.foo=1\n",
             "1|unknown monitor key \"foo\"; the keys are enable, level, event, evtgroup|Unknown "
             "key word foo=1\\n in monitor section|@1000"},
            {"monitor.m.evtgroup\n", "1|the key evtgroup has no \"=\" and so no value|!879|@1000"},
            {"monitor.m.event=nope\n",
             "1|no event line before this one defines event \"nope\"|@872|@1000"},
            {"handler.h.dump=\"\"\n", "1|the value of dump is empty (\"\")|!746|@967"},
            {"handler.h.dump=\"abc\n",
             "1|the value of dump begins with a double quote, but the line does not end with "
             "one|!746|@967"},
            {"handler.h.dump=\"abc\"\r\n",
             "1|the value of dump begins with a double quote, but the line does not end with one "
             "(the line ends in CR LF)|!746|@967"},
    };
    CheckconfRun checker;
    for (const auto& [config, error] : cases) {
        Outcome outcome = checker.check(config);
        EXPECT_EQ(Lines{expectedError(config, error)}, errorsOf(outcome.out)) << config;
        EXPECT_EQ(1, outcome.status) << config;
    }
}

// Appended to the cases below, so that they have a dump folder, start, and
// run a handler in every dump.
constexpr const char kStarts[] =
        "global.log_dump_path=/data/d\nmonitor.base.enable=1\nghandler.all.level=0\n"
        "ghandler.all.on=1\n";

// Each case: the configuration, and the warnings "LINE: TEXT" it gets.
using WarningCases = std::vector<std::pair<std::string, Lines>>;

void expectWarnings(const WarningCases& cases, const std::string& tail) {
    CheckconfRun checker;
    for (const auto& [config, warnings] : cases) {
        Outcome outcome = checker.check(config + tail);
        Lines expected;
        for (const std::string& w : warnings) {
            expected.push_back("c.conf:" + w.substr(0, w.find(':')) +
                               ": warning:" + w.substr(w.find(':') + 1));
        }
        expected.push_back("0 errors, " + std::to_string(warnings.size()) + " warnings");
        EXPECT_EQ(expected, outcome.out) << config;
        EXPECT_EQ(0, outcome.status) << config;
    }
}

// The level in effect is at most the monitor's own: handlers above it never
// run under it. The lowest handler counts, global or the event's own.
TEST(Checkconf, AMonitorWhoseDumpsRunNothingIsAWarningAtItsLevelOrEnableLine) {
    expectWarnings(
            {
                    {"handler.h.level=50\nhandler.h.on=1\nevent.e.handler.h.on=1\nmonitor.m.enable="
                     "1\nmonitor.m.level=10\nmonitor.m.event=e\nghandler.g.level=60\nghandler.g.on="
                     "1\n",
                     {"5: monitor \"m\" works at level 10, below every handler its events could "
                      "run "
                      "(the lowest is at 50): its dumps run nothing"}},
                    {"ghandler.g.level=0\nghandler.g.on=1\nevent.e.policy=once\nmonitor.m.enable="
                     "1\n"
                     "monitor.m.event=e\n",
                     {}},
                    {"handler.h.on=1\nevent.e.handler.h.on=1\nmonitor.m.enable=1\nmonitor.m.event="
                     "e\n",
                     {"3: monitor \"m\" works at level 0, below every handler its events could run "
                      "(the lowest is at 100): its dumps run nothing (a monitor without level "
                      "works "
                      "at 0)"}},
                    {"handler.h.level=0\nevent.e.handler.h.on=0\nmonitor.m.enable=1\nmonitor.m."
                     "event=e\n",
                     {"3: monitor \"m\" runs nothing in its dumps: no handler of its events, and "
                      "no "
                      "global handler, is on"}},
            },
            "global.log_dump_path=/data/d\n");
}

TEST(Checkconf, ConfigurationThatCannotDoWhatItSaysIsAWarningAtTheLineThatMakesItSo) {
    const std::string longLine = "global.max_dump_count=7" + std::string(1000, ' ') + "\n";
    expectWarnings(
            {
                    {"event.e.key_word=panic\n",
                     {"1: key word \"panic\" is never scanned: no enabled monitor holds event "
                      "\"e\""}},
                    {"global.logcat_grep=0\nglobal.kmsg_grep=0\nevent.e.key_word=panic\nmonitor."
                     "base.event="
                     "e\n",
                     {"3: key word \"panic\" is never scanned: logcat_grep and kmsg_grep are both "
                      "off"}},
                    {"event.e.uevent=hang\n",
                     {"1: uevent \"hang\" is never matched: no enabled monitor holds event \"e\""}},
                    {"handler.h.dump=x\nevent.e.handler.h.on=1\nhandler.h.level=0\n",
                     {"3: handler \"h\" was copied into event \"e\" at line 2: that copy does not "
                      "see this "
                      "line"}},
                    {"event.e.uevent=a\nmonitor.base.event=e\nevent.e.uevent=b\nhandler.h.on=1\n"
                     "event.e.handler.h.on=1\n",
                     {"3: event \"e\" was copied into monitor \"base\" at line 2: that copy does "
                      "not see "
                      "this line",
                      "5: event \"e\" was copied into monitor \"base\" at line 2: that copy does "
                      "not see "
                      "this line (a dump uses the event's own record and does)"}},
                    {"event.e.policy=once\nevtgroup.g.event=e\nmonitor.base.evtgroup=g\nevent.e."
                     "policy=a\n"
                     "evtgroup.g.event=e\n",
                     {"4: event \"e\" was copied into event group \"g\" at line 2: that copy does "
                      "not see "
                      "this line",
                      "5: event group \"g\" was copied into monitor \"base\" at line 3: that copy "
                      "does not "
                      "see this line"}},
                    {"event.e.key_word=\"  \"\nmonitor.base.event=e\n",
                     {"1: the key word is empty: it matches every log entry"}},
                    {"global.log_dump_path=\"  \"\n",
                     {"1: log_dump_path is empty: dumps go to folders at the root of the file "
                      "system"}},
                    {"global.log_dump_path=dumps\n",
                     {"1: log_dump_path \"dumps\" is relative: dumps land under whatever folder "
                      "the daemon "
                      "runs in"}},
                    {"global.log_dump_path=-d\n",
                     {"1: log_dump_path \"-d\" begins with \"-\": it is relative, and a command "
                      "given it "
                      "may take it for an option"}},
                    {"global.max_dump_count=0\n",
                     {"1: max_dump_count is 0: collection is off and dump folders are never "
                      "removed"}},
                    {"global.max_dump_count=-1\nglobal.max_dump_count=3\nglobal.max_dump_space=0\n",
                     {"3: max_dump_space is 0: every dump is refused"}},
                    {"globals.kmsg_grep=0\n //global.x=1\n",
                     {"1: unknown section \"globals\", a likely typo: the line is ignored [Config "
                      "file "
                      "parsing error: globals.kmsg_grep=0\\n]",
                      "2: unknown section \" //global\", a likely typo: the line is ignored "
                      "[Config file "
                      "parsing error:  //global.x=1\\n]"}},
                    {"monitor.base.enable=true\nhandler.h.level=12abc\nglobal.min_free_space="
                     "99999999999\n"
                     "global.max_dump_count= 20\nhandler.h.level=-5\n",
                     {"1: the value \"true\" of enable is not a number: it reads as 0",
                      "2: the value \"12abc\" of level is not a number: it reads as 12",
                      "3: the number \"99999999999\" of min_free_space is out of range"}},
                    {"handler.h.dump=cat x // all of it\n",
                     {"1: the value of dump holds \" //\": a comment cannot follow a value, it "
                      "becomes "
                      "part of it"}},
                    {"event.e.uevent=LYRD_EVENT=x\nmonitor.base.event=e\n",
                     {"1: uevent \"LYRD_EVENT=x\" holds \"=\": only the text after a record's "
                      "first \"=\" "
                      "is compared, so it never matches"}},
                    {"monitor.base.evtgroup=g\n",
                     {"1: monitor \"base\" names event group \"g\", which no evtgroup line before "
                      "this one "
                      "defines: the line adds nothing"}},
                    {longLine + "monitor_m_enable=1\n",
                     {"1: the line is 1024 bytes long, over the 1023 the daemon reads: it is "
                      "ignored",
                      "2: the line holds no dot: it is ignored"}},
                    {"event.e.policy=once\r\nevent.f.policy=once\r\n",
                     {"1: the file has CR LF line ends: every value keeps the carriage return"}},
                    {"global.handler_timeout=-1\nglobal.handler_timeout=0\n",
                     {"1: handler_timeout \"-1\" is shorter than a second: handler commands run "
                      "without a time limit"}},
                    {"event.e.min_interval=60\nevent.e.policy=once\nevent.f.min_interval=60\n",
                     {"1: event \"e\" has policy once: it is dumped once at most, so min_interval "
                      "does nothing"}},
            },
            kStarts);
}

// What concerns the whole file is said at its last line.
TEST(Checkconf, NoMonitorOrDumpFolderIsSaidAtTheEnd) {
    CheckconfRun checker;
    EXPECT_EQ((Lines{"c.conf:1: warning: no monitor is enabled: the daemon will not start, and "
                     "refuses every event sent to it",
                     "c.conf:1: warning: no log_dump_path is set: dumps go to folders at the root "
                     "of the file system",
                     "0 errors, 2 warnings"}),
              checker.check("").out);
    EXPECT_EQ(
            (Lines{"c.conf:3: warning: no monitor is enabled: the daemon will not start, and "
                   "refuses every event sent to it",
                   "0 errors, 1 warnings"}),
            checker.check("global.log_dump_path=/d\nmonitor.m.enable=1\nmonitor.m.enable=0\n").out);
}

// The checker reads on after each rejected line, as if it were skipped; the
// record a rejected line named stays, as it does in the daemon.
TEST(Checkconf, EveryRejectedLineIsReportedAtItsLineInACrLfFile) {
    const std::string config =
            "global.log_dump_path=/data/d\r\n"  // 1
            "monitor.m.enable=1\r\n"            // 2
            "monitor.m.event=ghost\r\n"         // 3: no such event
            "handler.h.dump=\"x\"\r\n"          // 4: the quote is not last
            "handler.h.on=1\r\n"                // 5
            "event.e.handler.h.on=1\r\n"        // 6: h exists since line 4
            "event.e.handler.h.levl=1\r\n"      // 7: no such key
            "monitor.m.event=e\r\n"             // 8: the event "e\r" does not exist
            "...";                              // 9: nothing but dots
    CheckconfRun checker;
    Outcome outcome = checker.check(config);
    EXPECT_EQ((Lines{"c.conf:1: warning: the file has CR LF line ends: every value keeps the "
                     "carriage return",
                     expectedError(config,
                                   "3|no event line before this one defines event "
                                   "\"ghost\\r\"|@872|@1000"),
                     expectedError(config,
                                   "4|the value of dump begins with a double quote, but "
                                   "the line does not end with one (the line ends in CR "
                                   "LF)|!746|@967"),
                     expectedError(config,
                                   "7|unknown handler key \"levl\"; the keys are init, "
                                   "dump, on, level, epara, dpara|Unknown key word "
                                   "levl=1\\r\\n in handler section|@797|@978"),
                     expectedError(config,
                                   "8|no event line before this one defines event "
                                   "\"e\\r\"|@872|@1000"),
                     expectedError(config, "9|the line holds nothing but dots|@940"),
                     "5 errors, 1 warnings"}),
              outcome.out);
    EXPECT_EQ(1, outcome.status);
}

}  // namespace
}  // namespace checkconf
