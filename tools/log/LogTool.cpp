#include "tools/log/LogTool.h"

#include <errno.h>
#include <string.h>

#include <ostream>

#include <log/host_log.h>

namespace lyrd_tools {
namespace {

const char kUsage[] = "usage: log [-b BUFFER] [-p PRIORITY] [-t TAG] MESSAGE...";

// Takes the value of the option at args[*i] ("-t TAG" or "-tTAG").
bool optionValue(const std::vector<std::string>& args, size_t* i, std::string* value) {
    const std::string& arg = args[*i];
    if (arg.size() > 2) {
        *value = arg.substr(2);
        return true;
    }
    if (*i + 1 >= args.size()) return false;
    *value = args[++*i];
    return true;
}

}  // namespace

int parsePriority(const std::string& text) {
    static const char kLetters[] = "vdiwef";
    if (text.size() != 1) return -1;
    char c = text[0];
    if (c >= '2' && c <= '7') return c - '0';
    const char* letter = strchr(kLetters, c | 0x20);
    return letter != nullptr ? static_cast<int>(letter - kLetters) + 2 : -1;
}

bool parseLogArgs(const std::vector<std::string>& args, LogOptions* options, std::string* error) {
    size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg.size() < 2 || arg[0] != '-') break;
        char option = arg[1];
        std::string value;
        if (option != 'b' && option != 'p' && option != 't') {
            *error = "unknown option: " + arg;
            return false;
        }
        if (!optionValue(args, &i, &value)) {
            *error = std::string("option -") + option + " needs a value";
            return false;
        }
        if (option == 'b') {
            options->buffer = android_name_to_log_id(value.c_str());
            if (options->buffer == LOG_ID_MAX) {
                *error = "unknown buffer: " + value;
                return false;
            }
        } else if (option == 'p') {
            options->priority = parsePriority(value);
            if (options->priority < 0) {
                *error = "unknown priority: " + value;
                return false;
            }
        } else {
            options->tag = value;
        }
    }
    if (i == args.size()) {
        *error = "no message";
        return false;
    }
    options->message = args[i];
    for (++i; i < args.size(); ++i) options->message += " " + args[i];
    return true;
}

int runLog(const std::vector<std::string>& args, std::ostream& err) {
    LogOptions options;
    std::string error;
    if (!parseLogArgs(args, &options, &error)) {
        err << "log: " << error << "\n" << kUsage << "\n";
        return 2;
    }
    const char* name = android_log_id_to_name(options.buffer);
    if (!android::host::appendLogRecord(name, options.priority, options.tag.c_str(),
                                        options.message.c_str())) {
        err << "log: cannot write to " << android::host::logBufferDir() << "/" << name << ": "
            << strerror(errno) << "\n";
        return 1;
    }
    return 0;
}

}  // namespace lyrd_tools
