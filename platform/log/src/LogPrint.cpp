// __android_log_print on a host: each record is one line on standard error,
// written with a single write() so that concurrent records never mix, and
// also appended to the main log buffer when that file exists.
#include <android/log.h>
#include <log/host_log.h>

#include <stdio.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <memory>
#include <string>

#include <utils/Mutex.h>

#include "LogRecord.h"

namespace android {
namespace host {
namespace {

Mutex gSinkLock;
std::shared_ptr<LogSink> gSink GUARDED_BY(gSinkLock);
// Sink calls one at a time, as lines on standard error would come.
Mutex gSinkCallLock;

Mutex gDirLock;
std::string gBufferDir GUARDED_BY(gDirLock) = "/dev/log";

char priorityLetter(int prio) {
    static const char kLetters[] = "??VDIWEFS";
    return prio >= 0 && prio <= ANDROID_LOG_SILENT ? kLetters[prio] : '?';
}

std::shared_ptr<LogSink> currentSink() {
    Mutex::Autolock guard(gSinkLock);
    return gSink;
}

}  // namespace

void setLogSink(LogSink sink) {
    Mutex::Autolock guard(gSinkLock);
    gSink = sink ? std::make_shared<LogSink>(std::move(sink)) : nullptr;
}

void setLogBufferDir(const std::string& dir) {
    Mutex::Autolock guard(gDirLock);
    gBufferDir = dir;
}

std::string logBufferDir() {
    Mutex::Autolock guard(gDirLock);
    return gBufferDir;
}

bool appendLogRecord(const std::string& buffer, int prio, const char* tag, const char* message) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::string record = encodeRecord(prio, tag, message, getpid(),
                                      static_cast<int32_t>(syscall(SYS_gettid)), now);
    return appendRecordToFile(logBufferDir() + "/" + buffer, record);
}

std::string formatBrief(int prio, const char* tag, int pid, const char* message) {
    std::string line;
    line.push_back(priorityLetter(prio));
    line.push_back('/');
    line.append(tag != nullptr ? tag : "");
    line.append("(" + std::to_string(pid) + "): ");
    for (const char* p = message != nullptr ? message : ""; *p != '\0'; ++p) {
        if (*p == '\n') {
            line.append("\\n");
        } else {
            line.push_back(*p);
        }
    }
    return line;
}

}  // namespace host
}  // namespace android

using android::host::currentSink;

extern "C" int __android_log_write(int prio, const char* tag, const char* text) {
    if (text == nullptr) text = "";
    if (auto sink = currentSink()) {
        android::Mutex::Autolock guard(android::host::gSinkCallLock);
        (*sink)(prio, tag != nullptr ? tag : "", text);
        return 1;
    }
    std::string line = android::host::formatBrief(prio, tag, getpid(), text);
    line.push_back('\n');
    ssize_t written = write(STDERR_FILENO, line.data(), line.size());
    android::host::appendLogRecord("main", prio, tag, text);
    return written < 0 ? -1 : 1;
}

extern "C" int __android_log_vprint(int prio, const char* tag, const char* fmt, va_list ap) {
    va_list probe;
    va_copy(probe, ap);
    int needed = vsnprintf(nullptr, 0, fmt, probe);
    va_end(probe);
    if (needed < 0) return -1;
    std::string text(static_cast<size_t>(needed) + 1, '\0');
    vsnprintf(&text[0], text.size(), fmt, ap);
    text.resize(static_cast<size_t>(needed));
    return __android_log_write(prio, tag, text.c_str());
}

extern "C" int __android_log_print(int prio, const char* tag, const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    int result = __android_log_vprint(prio, tag, fmt, ap);
    va_end(ap);
    return result;
}
