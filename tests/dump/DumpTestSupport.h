// What the log-dumping tests share: a process boundary that records shell
// lines and fakes the clock and free space, and a service built on an empty
// configuration whose records each test fills by hand.
#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <utils/UniqueFd.h>

#include "config/Event.h"
#include "config/Handler.h"
#include "config/Monitor.h"
#include "service/LyrDebugService.h"
#include "tests/common/LogCapture.h"
#include "tests/common/TempDir.h"

namespace ornak {
namespace xel {

using Strings = std::vector<std::string>;

class FakeSystemCalls : public SystemCalls {
  public:
    static constexpr time_t kDumpTime = 1796454909;  // 07:15:09 UTC, 5 December 2026

    int runShell(const char* line) override {
        {
            std::lock_guard<std::mutex> guard(mLock);
            mLines.push_back(line);
        }
        if (mFailing.count(line) != 0) return -1;  // as when no shell can start
        return mRunForReal ? ::system(line) : 0;
    }
    time_t now() override { return mNow; }
    int statFs(const char* path, struct statfs* out) override {
        if (mStatFsFails || strcmp(path, "/data") != 0) return -1;
        *out = {};
        out->f_bsize = 4096;
        out->f_bfree = mFreeMb * 256;  // blocks kept for root count as free
        return 0;
    }
    Strings lines() const {
        std::lock_guard<std::mutex> guard(mLock);
        return mLines;
    }

    std::set<std::string> mFailing;
    bool mRunForReal = false;
    time_t mNow = kDumpTime;
    bool mStatFsFails = false;
    uint64_t mFreeMb = 4096;

  private:
    mutable std::mutex mLock;
    Strings mLines;
};

class DumpServiceTest : public ::testing::Test {
  protected:
    using Handler = LyrDebugService::Handler;
    using Event = LyrDebugService::Event;
    using Monitor = LyrDebugService::Monitor;

    DumpServiceTest()
        : mConfig(mDir.write("lyrdebug.conf", "")),
          mService(new LyrDebugService(mConfig.c_str(), mFake)),
          mSavedCwd(cwd()) {
        mLog.clear();
    }
    // dumpEvent moves the process working directory; every test gets it back.
    ~DumpServiceTest() override { EXPECT_EQ(0, chdir(mSavedCwd.c_str())); }

    Handler handler(const char* name, const char* dumpCmd, int32_t level = 0,
                    std::initializer_list<const char*> dumpParas = {}) const {
        Handler h;
        h.mService = mService.get();
        h.mName = name;
        h.mDumpCmd = dumpCmd;
        h.mLevel = level;
        h.mEnabled = true;
        for (const char* para : dumpParas) h.mDumpParas.add(String8(para));
        return h;
    }
    Event event(const char* name, std::initializer_list<Handler> handlers = {}) const {
        Event e;
        e.mService = mService.get();
        e.mName = name;
        for (const Handler& h : handlers) e.mHandlers.add(h);
        return e;
    }
    Monitor monitor(bool enabled, int32_t level, std::initializer_list<Event> events) const {
        Monitor m;
        m.mService = mService.get();
        m.mEnabled = enabled;
        m.mLevel = level;
        for (const Event& e : events) m.mEvents.add(e);
        return m;
    }
    static std::string cwd() { return std::filesystem::current_path().string(); }

    lyrd_test::TempDir mDir;
    std::string mConfig;
    FakeSystemCalls mFake;
    lyrd_test::LogCapture mLog;
    android::sp<LyrDebugService> mService;
    std::string mSavedCwd;
};

inline Strings sorted(Strings items) {
    std::sort(items.begin(), items.end());
    return items;
}

inline Strings listDir(const std::string& path) {
    Strings names;
    for (const auto& entry : std::filesystem::directory_iterator(path)) {
        names.push_back(entry.path().filename().string());
    }
    return sorted(names);
}

// A file of size bytes that takes no room on disk.
inline bool makeSparseFile(const std::string& path, int64_t size) {
    android::UniqueFd fd(open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600));
    return fd.ok() && ftruncate(fd.get(), size) == 0;
}

}  // namespace xel
}  // namespace ornak
