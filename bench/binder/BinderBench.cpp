// Transaction round trips per second against an in-process service that
// answers at once, from one and from four client threads, each with its own
// connection. Prints one line per client count.
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <binder/Binder.h>
#include <binder/IServiceManager.h>
#include <binder/Parcel.h>
#include <binder/ProcessState.h>
#include <binder/host_binder.h>

namespace {

using namespace android;
using Clock = std::chrono::steady_clock;

constexpr auto kRunTime = std::chrono::seconds(2);

class Answerer : public BBinder {
  protected:
    status_t onTransact(uint32_t code, const Parcel& data, Parcel* reply, uint32_t flags) override {
        if (code != FIRST_CALL_TRANSACTION) return BBinder::onTransact(code, data, reply, flags);
        return reply->writeInt32(data.readInt32());
    }
};

// Runs clients threads for kRunTime; the round trips per second, or -1 when
// a call failed.
double measure(int clients) {
    std::atomic<bool> stop{false};
    std::atomic<bool> failed{false};
    std::vector<long> counts(static_cast<size_t>(clients), 0);
    std::vector<std::thread> threads;
    for (int i = 0; i < clients; ++i) {
        threads.emplace_back([&, i] {
            sp<IBinder> service = defaultServiceManager()->checkService(String16("bench"));
            if (service == nullptr) {
                failed = true;
                return;
            }
            Parcel data;
            data.writeInt32(i);
            while (!stop) {
                Parcel reply;
                if (service->transact(IBinder::FIRST_CALL_TRANSACTION, data, &reply) != NO_ERROR ||
                    reply.readInt32() != i) {
                    failed = true;
                    return;
                }
                ++counts[static_cast<size_t>(i)];
            }
        });
    }
    auto start = Clock::now();
    std::this_thread::sleep_for(kRunTime);
    stop = true;
    for (std::thread& thread : threads) thread.join();
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    long total = 0;
    for (long count : counts) total += count;
    return failed ? -1 : static_cast<double>(total) / seconds;
}

}  // namespace

int main() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lyrd-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        perror("mkdtemp");
        return 1;
    }
    host::setBinderServiceDir(pattern + "/hostbinder");
    ProcessState::self()->startThreadPool();
    if (defaultServiceManager()->addService(String16("bench"), new Answerer()) != NO_ERROR) {
        fprintf(stderr, "cannot publish the bench service in %s\n", pattern.c_str());
        return 1;
    }
    int status = 0;
    for (int clients : {1, 4}) {
        double rate = measure(clients);
        if (rate < 0) {
            fprintf(stderr, "a transaction failed with %d client thread(s)\n", clients);
            status = 1;
            continue;
        }
        printf("binder round trips, %d client thread(s): %.0f per second\n", clients, rate);
    }
    std::error_code ignored;
    std::filesystem::remove_all(pattern, ignored);
    return status;
}
