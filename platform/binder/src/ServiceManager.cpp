#include <binder/BpBinder.h>
#include <binder/IServiceManager.h>
#include <binder/ProcessState.h>
#include <binder/host_binder.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include <utils/Mutex.h>
#include <utils/String8.h>

#include "ServerLoop.h"
#include "ServiceSocket.h"

namespace android {
namespace host {
namespace {

Mutex gDirLock;
std::string gServiceDir GUARDED_BY(gDirLock) = "/dev/hostbinder";

}  // namespace

void setBinderServiceDir(const std::string& dir) {
    Mutex::Autolock guard(gDirLock);
    gServiceDir = dir;
}

std::string binderServiceDir() {
    Mutex::Autolock guard(gDirLock);
    return gServiceDir;
}

}  // namespace host

namespace {

constexpr std::chrono::seconds kGetServiceWait{3};
constexpr std::chrono::milliseconds kGetServiceRetry{100};

std::string toFileName(const String16& name) {
    String8 utf8(name);
    return std::string(utf8.string(), utf8.length());
}

// Services are socket files in the service folder; this process's own are
// served by the process's server loop.
class HostServiceManager : public IServiceManager {
  public:
    sp<IBinder> getService(const String16& name) const override {
        auto deadline = std::chrono::steady_clock::now() + kGetServiceWait;
        for (;;) {
            sp<IBinder> service = checkService(name);
            if (service != nullptr || std::chrono::steady_clock::now() >= deadline) return service;
            std::this_thread::sleep_for(kGetServiceRetry);
        }
    }

    sp<IBinder> checkService(const String16& name) const override {
        std::string dir = host::binderServiceDir();
        std::string file = toFileName(name);
        UniqueFd connection = host::connectToService(dir, file);
        if (!connection.ok()) return nullptr;
        return new BpBinder(std::move(connection), std::move(dir), std::move(file));
    }

    status_t addService(const String16& name, const sp<IBinder>& service,
                        bool /*allowIsolated*/) override {
        if (service == nullptr || service->localBinder() == nullptr) return BAD_VALUE;
        UniqueFd listener;
        status_t status =
                host::publishServiceSocket(host::binderServiceDir(), toFileName(name), &listener);
        if (status != NO_ERROR) return status;
        return ProcessState::self()->serverLoop().addListener(std::move(listener), service);
    }

  protected:
    // The host service manager is no binder object itself.
    IBinder* onAsBinder() override { return nullptr; }
};

}  // namespace

sp<IServiceManager> defaultServiceManager() {
    static sp<IServiceManager>* manager = new sp<IServiceManager>(new HostServiceManager());
    return *manager;
}

}  // namespace android
