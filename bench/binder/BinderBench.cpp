// The cost of a binder round trip against an in-process service that
// answers at once, weighed against a bare echo over a local socket pair
// measured in the same run: with 1 and 4 client threads (each with its own
// connection, each echo pair its own socket pair), and again while 60
// connections stalled mid-request are held open, replaced as the service
// closes them. Prints one line per case.
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <binder/Binder.h>
#include <binder/IServiceManager.h>
#include <binder/Parcel.h>
#include <binder/ProcessState.h>
#include <binder/host_binder.h>

#include "BareEcho.h"
#include "StalledClients.h"

namespace {

using namespace android;
using Clock = std::chrono::steady_clock;

// Binder and echo take turns, so that both see the same machine.
constexpr int kRounds = 4;
constexpr auto kTurn = std::chrono::milliseconds(500);
constexpr int kStalledConnections = 60;

class Answerer : public BBinder {
  protected:
    status_t onTransact(uint32_t code, const Parcel& data, Parcel* reply, uint32_t flags) override {
        if (code != FIRST_CALL_TRANSACTION) return BBinder::onTransact(code, data, reply, flags);
        return reply->writeInt32(data.readInt32());
    }
};

// Runs clients threads for duration; the mean round trip of one client in
// microseconds, or -1 when a call failed.
double measureBinder(int clients, std::chrono::milliseconds duration) {
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
    std::this_thread::sleep_for(duration);
    stop = true;
    for (std::thread& thread : threads) thread.join();
    double micros = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    long total = 0;
    for (long count : counts) total += count;
    return failed || total == 0 ? -1 : micros * clients / static_cast<double>(total);
}

struct Case {
    int clients;
    int stalled;
};

// Prints one case; false when a call failed.
bool runCase(const Case& test, const std::string& socketPath) {
    std::unique_ptr<bench::StalledClients> stalled;
    if (test.stalled > 0)
        stalled = std::make_unique<bench::StalledClients>(socketPath, test.stalled);
    double binder = 0;
    double echo = 0;
    for (int round = 0; round < kRounds; ++round) {
        double echoTrip = bench::measureBareEcho(test.clients, kTurn);
        double binderTrip = measureBinder(test.clients, kTurn);
        if (echoTrip < 0 || binderTrip < 0) return false;
        echo += echoTrip / kRounds;
        binder += binderTrip / kRounds;
    }
    std::string label = std::to_string(test.clients) + (test.clients == 1 ? " client" : " clients");
    if (test.stalled > 0) {
        label += ", " + std::to_string(test.stalled) + " stalled connections (" +
                 std::to_string(stalled->opened()) + " opened)";
    }
    printf("binder %s: %.1f us/call, bare echo %.1f us, ratio %.2f\n", label.c_str(), binder, echo,
           binder / echo);
    fflush(stdout);
    return true;
}

}  // namespace

int main() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lyrd-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        perror("mkdtemp");
        return 1;
    }
    const std::string folder = pattern + "/hostbinder";
    host::setBinderServiceDir(folder);
    ProcessState::self()->startThreadPool();
    if (defaultServiceManager()->addService(String16("bench"), new Answerer()) != NO_ERROR) {
        fprintf(stderr, "cannot publish the bench service in %s\n", pattern.c_str());
        return 1;
    }
    int status = 0;
    for (Case test :
         {Case{1, 0}, Case{4, 0}, Case{1, kStalledConnections}, Case{4, kStalledConnections}}) {
        if (!runCase(test, folder + "/bench")) {
            fprintf(stderr, "a call failed with %d client thread(s)\n", test.clients);
            status = 1;
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(pattern, ignored);
    return status;
}
