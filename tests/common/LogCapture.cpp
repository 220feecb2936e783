#include "tests/common/LogCapture.h"

#include <log/host_log.h>

#include <chrono>
#include <ostream>
#include <thread>

namespace lyrd_test {

std::ostream& operator<<(std::ostream& out, const LogRecord& record) {
    return out << record.prio << "/" << record.tag << ": " << record.message;
}

LogCapture::LogCapture() {
    android::host::setLogSink([this](int prio, const char* tag, const char* message) {
        std::lock_guard<std::mutex> guard(mLock);
        mRecords.push_back({prio, tag, message});
    });
}

LogCapture::~LogCapture() {
    android::host::setLogSink(nullptr);
}

std::vector<LogRecord> LogCapture::records() const {
    std::lock_guard<std::mutex> guard(mLock);
    return mRecords;
}

std::vector<LogRecord> LogCapture::records(const std::string& tag) const {
    std::vector<LogRecord> out;
    for (const LogRecord& record : records()) {
        if (record.tag == tag) out.push_back(record);
    }
    return out;
}

std::vector<std::string> LogCapture::messages(const std::string& tag) const {
    std::vector<std::string> out;
    for (const LogRecord& record : records(tag)) out.push_back(record.message);
    return out;
}

bool LogCapture::contains(int prio, const std::string& message, const std::string& tag) const {
    for (const LogRecord& record : records(tag)) {
        if (record.prio == prio && record.message == message) return true;
    }
    return false;
}

bool LogCapture::waitFor(const std::string& message, int timeoutMs, const std::string& tag) const {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        for (const std::string& seen : messages(tag)) {
            if (seen == message) return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

void LogCapture::clear() {
    std::lock_guard<std::mutex> guard(mLock);
    mRecords.clear();
}

}  // namespace lyrd_test
