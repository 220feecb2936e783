// Reading the buffer files through a logger list.
#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "tests/platform/log/LogBufferFixture.h"

namespace lyrd_test {

TEST_F(LogBufferTest, MergesOpenedBuffersOldestFirstFromTheStartTime) {
    for (int sec : {10, 30, 50}) appendRaw("main", encodedAt(sec, std::to_string(sec)));
    for (int sec : {20, 40}) appendRaw("system", encodedAt(sec, std::to_string(sec)));
    appendRaw("events", encodedAt(5, "5"));
    appendRaw("radio", encodedAt(1, "radio is not opened"));
    const std::pair<log_time, Messages> cases[] = {
            {log_time::EPOCH, {"5", "10", "20", "30", "40", "50"}},
            {log_time(20, 500), {"20", "30", "40", "50"}},  // every record is at N s 500 ns
            {log_time(20, 501), {"30", "40", "50"}},
    };
    for (const auto& [start, expected] : cases) {
        auto list = openList({LOG_ID_MAIN, LOG_ID_SYSTEM, LOG_ID_EVENTS}, start);
        EXPECT_EQ(expected, readAll(list.get())) << start.tv_sec << " s";
    }
}

TEST_F(LogBufferTest, HandsOutWholeRecordsOnlyPassingOverDamage) {
    std::string good = encodedAt(9, "x"), torn = encodedAt(9, "written in two parts");
    // A whole record longer than any, text, and two records cut short by the next one.
    std::string tooLong = good.substr(0, 1) + "\x10" + good.substr(2, 21) + std::string(4097, 'x');
    appendRaw("main", tooLong + '\0' + "not a record\n" + torn.substr(0, 30) + torn.substr(0, 20) +
                              encodedAt(5, "after the damage"));
    auto list = openList({LOG_ID_MAIN});
    EXPECT_EQ(Messages{"after the damage"}, readAll(list.get()));
    for (size_t cut : {size_t(1), size_t(3), size_t(20), torn.size() - 1}) {
        appendRaw("main", torn.substr(0, cut));
        EXPECT_EQ(Messages{}, readAll(list.get())) << cut;
        appendRaw("main", torn.substr(cut));
        EXPECT_EQ(Messages{"written in two parts"}, readAll(list.get())) << cut;
    }
    ASSERT_EQ(0, truncate(mDir.file("main").c_str(), 0));
    appendRaw("main", encodedAt(12, "new"));
    EXPECT_EQ(Messages{"new"}, readAll(list.get())) << "read again from the start";
}

// How often thread tid went to sleep, or -1 while it is not asleep.
static long sleeps(pid_t tid) {
    std::string status = readFile("/proc/self/task/" + std::to_string(tid) + "/status");
    size_t count = status.find("\nvoluntary_ctxt_switches:") + 25;
    return status.find("State:\tS") == std::string::npos ? -1 : std::stol(status.substr(count));
}

TEST_F(LogBufferTest, BlockingReadSleepsUntilAnOpenedBufferGrowsOrASignalComes) {
    auto list = openList({LOG_ID_MAIN, LOG_ID_SYSTEM}, log_time::EPOCH, ANDROID_LOG_RDONLY);
    std::atomic<pid_t> tid{0};
    std::string message;
    int result = 0;
    std::thread reader([&] {
        tid = gettid();
        message = readOne(list.get(), &result);
    });
    long before = -1;
    for (int i = 0; i < 10000 && (tid == 0 || (before = sleeps(tid)) < 0); ++i) usleep(2000);
    usleep(300000);  // a reader that polls the files would wake up many times meanwhile
    appendRaw("radio", encodedAt(11, "not opened"));
    long after = sleeps(tid);
    EXPECT_TRUE(before >= 0 && after >= before && after <= before + 2) << after;
    appendRaw("system", encodedAt(12, "new"));
    reader.join();
    EXPECT_EQ("new", message);

    struct sigaction action = {};
    action.sa_handler = [](int) {};  // no SA_RESTART; left in place, harmless
    ASSERT_EQ(0, sigaction(SIGALRM, &action, nullptr));
    itimerval every{{0, 100000}, {0, 100000}}, off{};
    ASSERT_EQ(0, setitimer(ITIMER_REAL, &every, nullptr));
    readOne(list.get(), &result);
    setitimer(ITIMER_REAL, &off, nullptr);
    EXPECT_EQ(-EINTR, result);
}

}  // namespace lyrd_test
