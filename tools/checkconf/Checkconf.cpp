#include "Checkconf.h"

#include <optional>

#include "Checker.h"
#include "Output.h"

namespace checkconf {
namespace {

struct Arguments {
    bool werror = false;
    bool report = false;
    bool help = false;
    CheckOptions check;
};

const char kUsage[] =
        "usage: lyrd-checkconf [--werror] [--report] [--additional FILE] FILE\n"
        "\n"
        "Checks the lyrd configuration FILE with the daemon's own parser, and makes or\n"
        "runs nothing. Prints each problem as PATH:LINE: error|warning: TEXT, then\n"
        "N errors, M warnings.\n"
        "\n"
        "--additional FILE  read FILE as the additional file the configuration names\n"
        "--report           print the status report the daemon logs at start-up\n"
        "--werror           exit 1 on warnings too\n";

bool parseArguments(const std::vector<std::string>& args, Arguments& parsed, std::string& error) {
    std::optional<std::string> file;
    bool optionsEnd = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnd && arg == "--") {
            optionsEnd = true;
        } else if (!optionsEnd && arg == "--werror") {
            parsed.werror = true;
        } else if (!optionsEnd && arg == "--report") {
            parsed.report = true;
        } else if (!optionsEnd && (arg == "--help" || arg == "-h")) {
            parsed.help = true;
        } else if (!optionsEnd && arg == "--additional") {
            if (i + 1 == args.size()) {
                error = "--additional needs a file";
                return false;
            }
            parsed.check.additional = args[++i];
        } else if (!optionsEnd && arg.size() > 1 && arg[0] == '-') {
            error = "unknown option: " + arg;
            return false;
        } else if (file) {
            error = "one configuration file only";
            return false;
        } else {
            file = arg;
        }
    }
    if (!file && !parsed.help) {
        error = "a configuration file is needed";
        return false;
    }
    parsed.check.file = file.value_or("");
    return true;
}

// Both files are looked at before anything is said about either.
bool checkReadable(const Arguments& arguments, std::ostream& err) {
    for (const std::optional<std::string>& path :
         {std::optional<std::string>(arguments.check.file), arguments.check.additional}) {
        if (!path) continue;
        std::string reason = unreadableReason(*path);
        if (!reason.empty()) {
            err << "lyrd-checkconf: cannot read " << *path << ": " << reason << "\n";
            return false;
        }
    }
    return true;
}

void print(const CheckResult& result, bool report, std::ostream& out) {
    for (const Diagnostic& diagnostic : result.diagnostics) {
        out << formatDiagnostic(diagnostic, result.record.files) << "\n";
    }
    // The daemon logs no report for a configuration it rejects.
    if (report && result.errors == 0) {
        for (const std::string& line : result.report) out << line << "\n";
    }
    out << countLine(result.errors, result.warnings) << "\n";
}

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Arguments arguments;
    std::string error;
    if (!parseArguments(args, arguments, error)) {
        err << "lyrd-checkconf: " << error << "\n" << kUsage;
        return 2;
    }
    if (arguments.help) {
        out << kUsage;
        return 0;
    }
    if (!checkReadable(arguments, err)) return 2;
    CheckResult result = checkConfiguration(arguments.check);
    if (!result.readable) {
        err << "lyrd-checkconf: cannot read " << arguments.check.file << "\n";
        return 2;
    }
    print(result, arguments.report, out);
    bool failed = result.errors > 0 || (arguments.werror && result.warnings > 0);
    return failed ? 1 : 0;
}

}  // namespace checkconf
