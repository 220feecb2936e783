#include "Checker.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

#include "Checks.h"
#include "ParseRecorder.h"
#include "config/ConfigParser.h"
#include "config/Configuration.h"

namespace checkconf {
namespace {

using ornak::xel::ConfigEffects;
using ornak::xel::ConfigParser;

// Makes nothing. The additional file it reads is the one given for it, or
// the one named when it is here.
class CheckEffects : public ConfigEffects {
  public:
    explicit CheckEffects(bool additionalGiven) : mAdditionalGiven(additionalGiven) {}

    int makeDumpFolder(const char*) override { return 0; }
    bool canOpen(const char* path) override { return mAdditionalGiven || access(path, R_OK) == 0; }

  private:
    bool mAdditionalGiven;
};

struct FileCloser {
    void operator()(FILE* file) const { fclose(file); }
};

void readFile(ConfigParser& parser, ParseRecorder& recorder, ParseRecord& record,
              const std::string& path) {
    recorder.startFile(path);
    bool opened = parser.parseFile(path.c_str()) != android::UNKNOWN_ERROR;
    record.files.back().opened = opened;
}

void runChecks(const Configuration& config, const CheckOptions& options, CheckResult& result) {
    checkLines(result.record, result.diagnostics);
    checkValues(result.record, result.diagnostics);
    checkCopies(result.record, result.diagnostics);
    checkWhole(result.record, config, result.diagnostics);
    checkAdditionalFile(result.record, options.additional, result.diagnostics);
    std::stable_sort(result.diagnostics.begin(), result.diagnostics.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.at < b.at; });
    for (const Diagnostic& diagnostic : result.diagnostics) {
        ++(diagnostic.severity == Severity::kError ? result.errors : result.warnings);
    }
}

}  // namespace

CheckResult checkConfiguration(const CheckOptions& options) {
    CheckResult result;
    // The report names the file the daemon reads, whatever file is checked.
    Configuration config;
    ParseRecorder recorder(result.record);
    CheckEffects effects(options.additional.has_value());
    ConfigParser parser(config, effects, recorder, ConfigParser::OnFailure::kSkipLine);

    readFile(parser, recorder, result.record, options.file);
    const FileRecord& main = result.record.files.front();
    if (!main.opened || main.unreadable) {
        result.readable = false;
        return result;
    }
    // Read as the daemon reads it: after the whole main file, once.
    if (config.mUseAdditionalConf) {
        std::string path = options.additional.value_or(config.mAdditionalConfPath.string());
        readFile(parser, recorder, result.record, path);
    }
    runChecks(config, options, result);
    for (const android::String8& line : ornak::xel::reportLines(config.statusReport())) {
        result.report.emplace_back(line.string(), line.length());
    }
    return result;
}

std::string unreadableReason(const std::string& path) {
    std::unique_ptr<FILE, FileCloser> file(fopen(path.c_str(), "re"));
    if (file == nullptr) return strerror(errno);
    // A directory opens but gives no byte.
    fgetc(file.get());
    return ferror(file.get()) ? strerror(errno) : "";
}

}  // namespace checkconf
