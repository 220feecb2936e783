#include <android/log.h>
#include <log/host_log.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/common/TempDir.h"

namespace {

// Sends this process's standard error into a pipe while it lives.
class StderrCapture {
  public:
    StderrCapture() {
        EXPECT_EQ(0, pipe2(mPipe, O_CLOEXEC));
        fcntl(mPipe[0], F_SETFL, O_NONBLOCK);
        fcntl(mPipe[1], F_SETPIPE_SZ, 1 << 20);
        mSaved = dup(STDERR_FILENO);
        dup2(mPipe[1], STDERR_FILENO);
    }
    ~StderrCapture() {
        restore();
        close(mPipe[0]);
        close(mPipe[1]);
    }
    std::string take() {
        restore();
        std::string out;
        char buffer[4096];
        ssize_t n;
        while ((n = read(mPipe[0], buffer, sizeof(buffer))) > 0) out.append(buffer, n);
        return out;
    }

  private:
    void restore() {
        if (mSaved < 0) return;
        dup2(mSaved, STDERR_FILENO);
        close(mSaved);
        mSaved = -1;
    }
    int mPipe[2];
    int mSaved = -1;
};

class LogBufferDir {
  public:
    LogBufferDir() { android::host::setLogBufferDir(mDir.path()); }
    ~LogBufferDir() { android::host::setLogBufferDir("/dev/log"); }
    lyrd_test::TempDir mDir;
};

TEST(LogPrint, OneBriefLineWithEscapedLineFeeds) {
    StderrCapture capture;
    __android_log_print(ANDROID_LOG_WARN, "LyrDebugService", "size=%dMB\n", 12);
    __android_log_print(ANDROID_LOG_ERROR, "T", "cannot open directory: %s\n ", "x");
    std::string pid = std::to_string(getpid());
    EXPECT_EQ("W/LyrDebugService(" + pid + "): size=12MB\\n\n" + "E/T(" + pid +
                      "): cannot open directory: x\\n \n",
              capture.take());
}

TEST(LogPrint, ConcurrentRecordsNeverInterleave) {
    StderrCapture capture;
    std::string payload(300, 'x');
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([&payload, t] {
            for (int i = 0; i < 100; ++i) {
                __android_log_print(ANDROID_LOG_DEBUG, "W", "%d:%s", t, payload.c_str());
            }
        });
    }
    for (auto& writer : writers) writer.join();
    std::string out = capture.take();
    size_t lines = 0;
    size_t start = 0;
    while (start < out.size()) {
        size_t end = out.find('\n', start);
        ASSERT_NE(std::string::npos, end);
        std::string line = out.substr(start, end - start);
        EXPECT_EQ(std::string::npos, line.find("D/W", 1)) << line;
        EXPECT_EQ(payload, line.substr(line.size() - payload.size()));
        ++lines;
        start = end + 1;
    }
    EXPECT_EQ(400u, lines);
}

TEST(LogPrint, AppendsToAnExistingMainBufferOnly) {
    LogBufferDir buffers;
    StderrCapture capture;
    __android_log_print(ANDROID_LOG_INFO, "T", "before");
    EXPECT_EQ(-1, access(buffers.mDir.file("main").c_str(), F_OK)) << "never created";

    buffers.mDir.write("main", "");
    __android_log_print(ANDROID_LOG_INFO, "T", "hello");
    std::string content = lyrd_test::readFile(buffers.mDir.file("main"));
    ASSERT_EQ(20u + 1 + 2 + 6, content.size());
    EXPECT_EQ(std::string("\x04T\0hello\0", 9), content.substr(20));
    capture.take();
}

}  // namespace
