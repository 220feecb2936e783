// Four empty buffer files in a temporary folder, the buffer folder while a test runs.
#pragma once

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <log/host_log.h>
#include <log/logger.h>
#include <log/logprint.h>
#include <utils/UniqueFd.h>

#include "platform/log/src/LogRecord.h"
#include "tests/common/TempDir.h"

namespace lyrd_test {

using Messages = std::vector<std::string>;
using ListPtr = std::unique_ptr<logger_list, decltype(&android_logger_list_free)>;

// Reads one entry: its message ("" unless it is whole), the read's result in *result.
inline std::string readOne(logger_list* list, int* result) {
    log_msg msg;
    AndroidLogEntry entry{};
    *result = android_logger_list_read(list, &msg);
    bool whole = *result > 0 && *result == static_cast<int>(msg.len()) &&
                 android_log_processLogBuffer(&msg.entry_v1, &entry) == 0;
    return whole ? std::string(entry.message, entry.messageLen) : "";
}

// Messages of a list until a read fails.
inline Messages readAll(logger_list* list) {
    Messages messages;
    for (int result = 1; result > 0;) messages.push_back(readOne(list, &result));
    messages.pop_back();  // the failed read's
    return messages;
}

class LogBufferTest : public ::testing::Test {
  protected:
    LogBufferTest() {
        for (const char* buffer : {"main", "system", "events", "radio"}) mDir.write(buffer, "");
        android::host::setLogBufferDir(mDir.path());
    }
    ~LogBufferTest() override { android::host::setLogBufferDir("/dev/log"); }

    void appendRaw(const std::string& buffer, const std::string& bytes) const {
        android::UniqueFd fd(open(mDir.file(buffer).c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
        ASSERT_EQ(static_cast<ssize_t>(bytes.size()), write(fd.get(), bytes.data(), bytes.size()));
    }
    static std::string encodedAt(int32_t sec, const std::string& message) {
        return android::host::encodeRecord(4, "T", message.c_str(), 1, 1, timespec{sec, 500});
    }
    ListPtr openList(const std::vector<log_id_t>& ids, log_time start = log_time::EPOCH,
                     int mode = ANDROID_LOG_NONBLOCK) const {
        ListPtr list(android_logger_list_alloc_time(mode, start, 0), &android_logger_list_free);
        for (log_id_t id : ids) EXPECT_NE(nullptr, android_logger_open(list.get(), id));
        return list;
    }

    TempDir mDir;
};

}  // namespace lyrd_test
