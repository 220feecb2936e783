#include "tools/logcat/LogcatTool.h"

#include <errno.h>
#include <string.h>

#include <memory>
#include <ostream>
#include <sstream>

#include <log/host_log.h>

namespace lyrd_tools {
namespace {

const char kUsage[] = "usage: logcat [-d] [-b BUFFER]... [-v brief|raw]";

struct ListDeleter {
    void operator()(logger_list* list) const { android_logger_list_free(list); }
};
using ListPtr = std::unique_ptr<logger_list, ListDeleter>;

bool addBuffers(const std::string& names, LogcatOptions* options, std::string* error) {
    std::istringstream in(names);
    std::string name;
    bool any = false;
    while (std::getline(in, name, ',')) {
        log_id_t id = android_name_to_log_id(name.c_str());
        if (id == LOG_ID_MAX) {
            *error = "unknown buffer: " + name;
            return false;
        }
        options->buffers.push_back(id);
        any = true;
    }
    if (!any) *error = "unknown buffer: " + names;
    return any;
}

bool parseFormat(const std::string& name, LogcatFormat* format, std::string* error) {
    if (name == "brief") {
        *format = LogcatFormat::kBrief;
    } else if (name == "raw") {
        *format = LogcatFormat::kRaw;
    } else {
        *error = "unknown format: " + name;
        return false;
    }
    return true;
}

// Opens the named buffers; false with a message on err when one cannot be.
bool openBuffers(logger_list* list, const std::vector<log_id_t>& buffers, std::ostream& err) {
    for (log_id_t id : buffers) {
        if (android_logger_open(list, id) == nullptr) {
            err << "logcat: cannot open log buffer " << android::host::logBufferDir() << "/"
                << android_log_id_to_name(id) << ": " << strerror(errno) << "\n";
            return false;
        }
    }
    return true;
}

}  // namespace

bool parseLogcatArgs(const std::vector<std::string>& args, LogcatOptions* options,
                     std::string* error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-d") {
            options->dump = true;
            continue;
        }
        if (arg.size() < 2 || arg[0] != '-' || (arg[1] != 'b' && arg[1] != 'v')) {
            *error = "unknown argument: " + arg;
            return false;
        }
        std::string value = arg.substr(2);
        if (value.empty()) {
            if (i + 1 == args.size()) {
                *error = "option " + arg + " needs a value";
                return false;
            }
            value = args[++i];
        }
        bool ok = arg[1] == 'b' ? addBuffers(value, options, error)
                                : parseFormat(value, &options->format, error);
        if (!ok) return false;
    }
    if (options->buffers.empty()) options->buffers = {LOG_ID_MAIN, LOG_ID_SYSTEM};
    return true;
}

std::string formatEntry(const AndroidLogEntry& entry, LogcatFormat format) {
    std::string line = format == LogcatFormat::kRaw
                               ? std::string(entry.message, entry.messageLen)
                               : android::host::formatBrief(entry.priority, entry.tag, entry.pid,
                                                            entry.message);
    line.push_back('\n');
    return line;
}

int runLogcat(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    LogcatOptions options;
    std::string error;
    if (!parseLogcatArgs(args, &options, &error)) {
        err << "logcat: " << error << "\n" << kUsage << "\n";
        return 2;
    }
    int mode = options.dump ? ANDROID_LOG_NONBLOCK : ANDROID_LOG_RDONLY;
    ListPtr list(android_logger_list_alloc_time(mode, log_time::EPOCH, 0));
    if (list == nullptr) {
        err << "logcat: cannot read the log buffers: " << strerror(errno) << "\n";
        return 1;
    }
    if (!openBuffers(list.get(), options.buffers, err)) return 1;

    for (;;) {
        log_msg msg;
        int result = android_logger_list_read(list.get(), &msg);
        if (result == -EAGAIN && options.dump) break;
        if (result == -EINTR) continue;
        if (result < 0) {
            err << "logcat: cannot read the log buffers: " << strerror(-result) << "\n";
            return 1;
        }
        AndroidLogEntry entry;
        if (android_log_processLogBuffer(&msg.entry_v1, &entry) != 0) continue;
        out << formatEntry(entry, options.format);
        // A follower's reader sees each record as it comes.
        if (!options.dump) out.flush();
    }
    out.flush();
    return 0;
}

}  // namespace lyrd_tools
