// A proxy for a binder object published by another process (or by this one)
// under a service name. It owns one connection to the service's socket;
// transactions through one proxy run one after another on it, so threads
// that want to call at the same time each take their own proxy. Once the
// connection breaks, every transaction gives DEAD_OBJECT.
#pragma once

#include <mutex>

#include <binder/IBinder.h>
#include <utils/UniqueFd.h>

namespace android {

class BpBinder : public IBinder {
  public:
    // connection: a connected stream socket to the service.
    explicit BpBinder(UniqueFd connection);

    // Asks the service once, then answers from memory; empty on failure.
    const String16& getInterfaceDescriptor() const override;
    bool isBinderAlive() const override;
    status_t pingBinder() override;
    // File descriptors do not travel to a host service.
    status_t dump(int fd, const Vector<String16>& args) override;
    status_t transact(uint32_t code, const Parcel& data, Parcel* reply, uint32_t flags = 0) override;

    BpBinder* remoteBinder() override { return this; }

  protected:
    ~BpBinder() override;

  private:
    status_t transactLocked(uint32_t code, const Parcel& data, Parcel* reply, uint32_t flags);

    mutable std::mutex mLock;
    UniqueFd mConnection;  // guarded by mLock; closed once broken
    mutable std::mutex mDescriptorLock;
    mutable bool mDescriptorKnown = false;  // guarded by mDescriptorLock
    mutable String16 mDescriptor;           // written once, under mDescriptorLock
};

}  // namespace android
