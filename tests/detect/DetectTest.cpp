#include <android/log.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/netlink.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <log/host_log.h>

#include "config/Event.h"
#include "config/Monitor.h"
#include "detect/InternalEventReader.h"
#include "detect/KeyWordIndex.h"
#include "detect/KeyWordMatcher.h"
#include "detect/KmsgDetectThread.h"
#include "detect/LogcatDetectThread.h"
#include "detect/MonitorThread.h"
#include "detect/ReadBackoff.h"
#include "detect/UeventChunk.h"
#include "detect/UeventSocket.h"
#include "service/LyrDebugService.h"
#include "tests/common/LogCapture.h"
#include "tests/common/TempDir.h"

namespace {

using namespace ornak::xel;
using namespace std::literals;
using Records = std::vector<lyrd_test::LogRecord>;
using Strings = std::vector<std::string>;

lyrd_test::LogRecord logged(const std::string& text, int prio = ANDROID_LOG_DEBUG) {
    return {prio, "LyrDebugService", text};
}

// Repeats the exit request until the thread has ended, as the service does.
bool stopThread(android::Thread& thread) {
    for (int i = 0; i < 1000 && thread.isRunning(); ++i, usleep(20000)) thread.requestExit();
    return !thread.isRunning() && thread.join() == android::NO_ERROR;
}

// The names one reader takes out of stream, received cut at the given offsets.
Strings namesIn(const std::string& stream, std::vector<size_t> cuts = {}) {
    Strings names;
    InternalEventReader reader;
    auto sink = [&](const char* name) { names.push_back(name); };
    cuts.push_back(stream.size());
    for (size_t from = 0, i = 0; i < cuts.size(); from = cuts[i++])
        reader.receive(stream.data() + from, cuts[i] - from, sink);
    return names;
}

TEST(UeventChunk, ValueIsTheTextAfterTheFirstEqualsOfTheLastMatchingRecord) {
    const std::pair<std::string, std::string> cases[] = {
            {"LYRD_EVENT=hang\0"s, ""},  // the header is no record
            {"change@/x\0XLYRD_EVENT_2=a=b\0SEQNUM=7\0"s, "a=b"},
            {"h\0LYRD_EVENT=first\0LYRD_EVENT=\0"s, ""},
            {"h\0LYRD_EVENT\0lyrd_event=x\0"s, ""},
            {"h\0A=1\0\0LYRD_EVENT=hang\0"s, ""},  // an empty record ends the scan
            {"h\0LYRD_EVENT="s + std::string(200, 'v'), std::string(127, 'v')},
    };
    for (const auto& [chunk, value] : cases)
        EXPECT_STREQ(value.c_str(), ueventValue(chunk.data(), chunk.size()).c_str()) << chunk;
    EXPECT_STREQ("hang", ueventValue("h\0LYRD_EVENT=hangover", 17).c_str());
}

TEST(InternalChannelStream, NamesComeWholeWhereverReceivesCutThem) {
    const std::string stream = "alpha\n\nb\0name of twenty chars\n\nz\nlast\nunfinished"s;
    const Strings expected = {"alpha", "b", "name of twenty chars", "z", "last"};
    for (size_t first = 0; first <= stream.size(); ++first)
        for (size_t second = first; second <= stream.size(); ++second)
            ASSERT_EQ(expected, namesIn(stream, {first, second})) << first << "," << second;
    // Only an endless run goes on in pieces, none of its bytes lost.
    const std::string run(1500, 'x');
    EXPECT_EQ(Strings({run.substr(0, 1275), run.substr(1275), "next"}),
              namesIn(run + "\nnext\n", {255, 510, 765, 1020, 1275}));

    // The first name of a receive goes on silently; offsets count the kept bytes too.
    lyrd_test::LogCapture log;
    EXPECT_EQ(Strings({"a", "b", "xyz", "q", "r"}), namesIn("a\nb\nxyz\n\nq\nr\n", {4, 6}));
    EXPECT_EQ(Records({logged("Receive internal event: b, curSize: 2, mMsgSize: 4"),
                       logged("Receive internal event: q, curSize: 4, mMsgSize: 9"),
                       logged("Receive internal event: r, curSize: 7, mMsgSize: 9")}),
              log.records());
}

TEST(ReadBackoff, PausesAfterTheFreeRetriesDoublingToTheCeilingUntilAGoodReadOrCancel) {
    ReadBackoff backoff(1, 30ms, 50ms);
    auto start = std::chrono::steady_clock::now();
    backoff.readFailed(), backoff.readFailed();
    EXPECT_LE(30ms, std::chrono::steady_clock::now() - start);
    EXPECT_EQ(50, backoff.nextPause().count());
    backoff.readSucceeded();
    EXPECT_EQ(0, backoff.nextPause().count());

    ReadBackoff stuck(0, 1h, 1h);
    stuck.cancel();
    stuck.readFailed();  // would wait an hour
}

// A service on an empty configuration, given a channel and monitors by hand.
class Detect : public ::testing::Test {
  protected:
    Detect() {
        int ends[2];
        EXPECT_EQ(0, socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends));
        mService->mChannel[0].reset(ends[0]);
        mService->mChannel[1].reset(ends[1]);
        mChannel.attach(ends[0]);
        int small = 4096;  // lets a long message out only in part
        setsockopt(ends[0], SOL_SOCKET, SO_SNDBUF, &small, sizeof(small));
        // Monitor, enabled, event, and the texts that are both its uevent hints and key words.
        const std::tuple<size_t, bool, const char*, Strings> events[] = {
                {0, true, "gpu", {"hang"}},
                {1, false, "off", {"hang", "disabled"}},
                {2, true, "gpu", {"gpu", "hang"}},
                {2, true, "display", {"blank", "hang", ",812,"}}};
        for (const auto& [index, enabled, name, texts] : events) {
            if (index == mMonitors.size()) mMonitors.add();
            mMonitors.editItemAt(index).mEnabled = enabled;
            Vector<LyrDebugService::Event>& list = mMonitors.editItemAt(index).mEvents;
            LyrDebugService::Event& event = list.editItemAt(list.add());
            event.mName = name;
            for (const std::string& text : texts) event.mUevents.add(String8(text.c_str()));
            event.mKeyWords = event.mUevents;
        }
        mService->mKeyWordIndex = std::make_unique<KeyWordIndex>(mMonitors);
        mScan = std::make_unique<KeyWordScan>(*mService->mKeyWordIndex);
        mService->mMinFreeSpace = 0;  // dumpEvent reaches its event lookup on any disk
        mLog.clear();
    }

    // What the channel holds now, or with flags 0 all it receives until closed.
    std::string channel(int flags = MSG_DONTWAIT) {
        std::string out;
        char b[255];
        for (ssize_t n; (n = recv(mService->mChannel[1].get(), b, 255, flags)) > 0;)
            out.append(b, n);
        return out;
    }

    lyrd_test::LogCapture mLog;
    lyrd_test::TempDir mDir;
    std::string mConfig = mDir.write("lyrdebug.conf", "");
    sp<LyrDebugService> mService = new LyrDebugService(mConfig.c_str(), SystemCalls::real());
    Vector<LyrDebugService::Monitor>& mMonitors = mService->mMonitors;
    EventChannel& mChannel = mService->mEventChannel;
    std::unique_ptr<KeyWordScan> mScan;
};

TEST_F(Detect, UeventDispatchesEventsOfEnabledMonitorsListingTheValueOnceEachInOrder) {
    Strings names;
    for (const char* value : {"", "Hang", "disabled", "hang"}) {
        std::string chunk = "h\0LYRD_EVENT="s + value + "\0"s;
        dispatchUevent(mMonitors, chunk.data(), chunk.size(),
                       [&](const char* n) { names.push_back(n); });
    }
    EXPECT_EQ(Strings({"gpu", "display"}), names);
    EXPECT_EQ(Records({logged("Receive uevent: Hang"), logged("Receive uevent: disabled"),
                       logged("Receive uevent: hang"),
                       logged("Receive uevent, dump log for event: gpu"),
                       logged("Receive uevent, dump log for event: display")}),
              mLog.records());
}

TEST_F(Detect, KeyWordsAreCaseSensitiveSubstringsSendingEachEventOncePerText) {
    for (const char* text : {"gpu_hang_detected", "HANG, disabled", "blanked", "gpu"})
        sendKeyWordEvents(*mScan, mChannel, text, -1);
    EXPECT_EQ("gpu\ndisplay\ndisplay\ngpu\n", channel());

    mLog.clear();
    sendKeyWordEvents(*mScan, mChannel, "gpu", -1);
    mService->mChannel[1].reset();  // a closed peer must fail the send, not raise SIGPIPE
    sendKeyWordEvents(*mScan, mChannel, "hang", -1);
    EXPECT_EQ(Records({logged("Send msg from channel 1: gpu"),
                       logged("Failed to write event gpu to channel", ANDROID_LOG_ERROR),
                       logged("Failed to write event display to channel", ANDROID_LOG_ERROR)}),
              mLog.records());
}

TEST_F(Detect, ConcurrentWritersOnAFillingChannelLoseMergeAndSplitNothing) {
    std::string stream;
    std::thread reader([&] { stream = channel(0); });
    Strings sent;  // in sorted order
    for (int i = 0; i < 900; ++i) sent.push_back(std::to_string(100 + i).append(i % 9 * 1000, 'x'));
    std::vector<std::thread> writers;
    for (int w = 0; w < 4; ++w) {
        writers.emplace_back([&, w] {
            for (int i = w; i < 900; i += 4) EXPECT_TRUE(mChannel.send(sent[i].c_str()));
        });
    }
    for (std::thread& writer : writers) writer.join();
    shutdown(mService->mChannel[0].get(), SHUT_WR);
    reader.join();
    Strings names = namesIn(stream);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(sent, names);
}

TEST_F(Detect, WriterGivesUpOnAFullChannelAndItsFragmentNeverMergesWithTheNext) {
    EXPECT_FALSE(mChannel.send(std::string(256 * 1024, 'L').c_str()));
    mLog.clear();
    EXPECT_FALSE(mChannel.send("hang"));
    EXPECT_EQ(Records({logged("Failed to write event hang to channel", ANDROID_LOG_ERROR)}),
              mLog.records());

    std::string fragment = channel();
    EXPECT_TRUE(mChannel.send(""));
    EXPECT_TRUE(mChannel.send("next"));
    EXPECT_EQ(Strings({fragment, "next"}), namesIn(fragment + channel()));
}

// Short names cost the kernel several hundred bytes each; the channel is
// made big enough for a burst while one dump runs.
TEST(EventChannel, HoldsTwoThousandShortNamesWithNobodyReading) {
    int ends[2];
    ASSERT_EQ(0, socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends));
    android::UniqueFd writeEnd(ends[0]), readEnd(ends[1]);
    EventChannel channel;
    channel.attach(writeEnd.get());
    const std::string name = std::string(32, 'n') + "\n";
    int held = 0;
    while (send(writeEnd.get(), name.data(), name.size(), MSG_DONTWAIT) > 0) ++held;
    EXPECT_LE(2000, held);
    RecordProperty("names_of_32_bytes_held", held);
}

TEST_F(Detect, DetectionWriterWaitsForRoomUntilItsExitOrTheEndOfTheReader) {
    const int fd = mService->mChannel[0].get();
    auto fill = [fd] {
        while (send(fd, "x\n", 2, MSG_DONTWAIT) > 0) {
        }
    };
    auto sendLater = [this](const char* name, int exitFd) {
        return std::async(std::launch::async,
                          [=] { return mChannel.sendWhileReaderLives(name, exitFd); });
    };
    fill();
    ExitEvent exit;
    auto cancelled = sendLater("cancelled", exit.fd());
    EXPECT_EQ(std::future_status::timeout, cancelled.wait_for(100ms));
    exit.signal();
    EXPECT_EQ(EventChannel::Outcome::kCancelled, cancelled.get());

    auto waiting = sendLater("waited", -1);
    std::string stream;
    char bytes[256];
    for (ssize_t n; stream.find("waited\n") == std::string::npos;) {
        ASSERT_LT(0, n = recv(mService->mChannel[1].get(), bytes, sizeof(bytes), 0));
        stream.append(bytes, n);
    }
    EXPECT_EQ(EventChannel::Outcome::kSent, waiting.get());
    EXPECT_EQ(std::string::npos, stream.find("cancelled"));

    fill();
    auto abandoned = sendLater("abandoned", -1);
    EXPECT_TRUE(mChannel.markReaderEnded());
    EXPECT_FALSE(mChannel.markReaderEnded());
    EXPECT_EQ(EventChannel::Outcome::kNoReader, abandoned.get());
    EXPECT_EQ(EventChannel::Outcome::kNoReader, mChannel.sendWhileReaderLives("late", -1));
    EXPECT_EQ(Records(), mLog.records());
}

TEST_F(Detect, MonitorThreadDumpsInternalEventsUntilAskedToExitOrTheChannelCloses) {
    EventSink dump = [this](const char* name) { mService->dumpEvent(name); };
    sp<MonitorThread> thread = new MonitorThread(mService.get(), dump);
    ASSERT_EQ(android::NO_ERROR, thread->run("LYRD Monitor", 0, 0));
    EXPECT_TRUE(mChannel.send("first") && mChannel.send("second"));
    EXPECT_TRUE(mLog.waitFor("Invalid event received, second"));
    EXPECT_TRUE(stopThread(*thread));

    thread = new MonitorThread(mService.get(), dump);
    ASSERT_EQ(android::NO_ERROR, thread->run("LYRD Monitor", 0, 0));
    shutdown(mService->mChannel[0].get(), SHUT_WR);
    EXPECT_TRUE(mLog.waitFor("error recv from monitor thread, 0"));
    EXPECT_TRUE(stopThread(*thread));
}

TEST_F(Detect, KmsgThreadMatchesWholeRecordsPrefixIncluded) {
    std::string path = mDir.file("kmsg");
    ASSERT_EQ(0, mkfifo(path.c_str(), 0600));
    // Held open for writing: the thread's open does not wait, its reads see no end.
    android::UniqueFd writer(open(path.c_str(), O_RDWR | O_CLOEXEC));
    sp<KmsgDetectThread> thread = new KmsgDetectThread(mService.get(), path.c_str());
    ASSERT_EQ(android::NO_ERROR, thread->run("LYRD Kmsg Detect", 0, 0));
    ASSERT_EQ(24, write(writer.get(), "3,812,5523,-;ring stall\n", 24));
    EXPECT_TRUE(mLog.waitFor("Send msg from channel 1: display"));
    EXPECT_EQ("display\n", channel());
    EXPECT_TRUE(stopThread(*thread));
}

// Another socket of the network namespace may hold the port id the monitor
// thread makes from its ids.
TEST(UeventSocket, TakesAPortIdFromTheKernelWhenItsOwnIsTaken) {
    constexpr uint32_t kTaken = 0x7ffe1234;
    android::UniqueFd holder(socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_KOBJECT_UEVENT));
    struct sockaddr_nl address = {};
    address.nl_family = AF_NETLINK;
    address.nl_pid = kTaken;
    if (bind(holder.get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        GTEST_SKIP() << "cannot bind a uevent socket here: " << strerror(errno);
    }
    lyrd_test::LogCapture log;
    android::UniqueFd fd = openUeventSocket(kTaken);
    ASSERT_TRUE(fd.ok());
    socklen_t size = sizeof(address);
    ASSERT_EQ(0, getsockname(fd.get(), reinterpret_cast<sockaddr*>(&address), &size));
    EXPECT_NE(kTaken, address.nl_pid);
    EXPECT_EQ(Records(), log.records());
}

// Only messages count, and never those of this process or under the daemon's tag.
TEST_F(Detect, LogcatThreadMatchesEntriesOfOtherProcessesFromTheOldest) {
    for (const char* name : {"main", "system", "events", "radio"}) mDir.write(name, "");
    android::host::setLogBufferDir(mDir.path());
    ASSERT_TRUE(android::host::appendLogRecord("main", 6, "self", "gpu hang"));
    if (fork() == 0) {
        android::host::appendLogRecord("system", 6, "LyrDebugService", "gpu hang");
        android::host::appendLogRecord("radio", 6, "gpu hang", "tag only");
        _exit(android::host::appendLogRecord("events", 6, "LyrDebugService2", "blank") ? 0 : 1);
    }
    wait(nullptr);
    sp<LogcatDetectThread> thread = new LogcatDetectThread(mService.get());
    ASSERT_EQ(android::NO_ERROR, thread->run("LYRD Logcat Detect", 0, 0));
    EXPECT_TRUE(mLog.waitFor("Send msg from channel 1: display"));
    EXPECT_EQ("display\n", channel());
    EXPECT_TRUE(stopThread(*thread));  // blocked in its read
}

}  // namespace
