// A proxy for a binder object published by another process (or by this one)
// under a service name. It owns one connection to the service's socket;
// transactions through one proxy run one after another on it, so threads
// that want to call at the same time each take their own proxy.
//
// A service closes connections it cannot keep (it keeps a bounded number,
// closing the one idle longest for a newcomer). The proxy then opens a new
// connection on its next transaction, once: a call that finds the old one
// closed before any byte of its reply came was never served, and is sent
// once more on the new one. A one-way call is never sent twice, and a
// reply cut short is not asked for again: both give DEAD_OBJECT, and the
// next transaction opens the new connection. Once the service cannot be
// reached, every transaction gives DEAD_OBJECT.
#pragma once

#include <string>

#include <binder/IBinder.h>
#include <utils/Mutex.h>
#include <utils/UniqueFd.h>

namespace android {

class BpBinder : public IBinder {
  public:
    // connection: a connected stream socket to the service named name in
    // the service folder serviceDir, which is where a new one is opened.
    BpBinder(UniqueFd connection, std::string serviceDir, std::string name);

    // Asks the service once, then answers from memory; empty on failure.
    const String16& getInterfaceDescriptor() const override;
    // False once the service could not be reached again.
    bool isBinderAlive() const override;
    status_t pingBinder() override;
    // The dump transaction: the service writes to fd, which stays the
    // caller's and open. The transaction's status.
    status_t dump(int fd, const Vector<String16>& args) override;
    status_t transact(uint32_t code, const Parcel& data, Parcel* reply, uint32_t flags = 0) override;

    BpBinder* remoteBinder() override { return this; }

  protected:
    ~BpBinder() override;

  private:
    enum class Failure {
        kNone,
        kClosedBeforeReply,  // the service closed the connection before answering
        kBroken,             // out of step with the service
    };

    status_t transactOnce(uint32_t code, const Parcel& data, Parcel* reply, uint32_t flags,
                          Failure* failure) REQUIRES(mLock);
    // False, for good, when the service cannot be reached.
    bool reopenLocked() REQUIRES(mLock);

    const std::string mServiceDir;
    const std::string mServiceName;
    mutable Mutex mLock;
    UniqueFd mConnection GUARDED_BY(mLock);  // closed once it fails
    bool mDead GUARDED_BY(mLock) = false;
    mutable Mutex mDescriptorLock;
    mutable bool mDescriptorKnown GUARDED_BY(mDescriptorLock) = false;
    // Written once, under mDescriptorLock; references handed out stay valid.
    mutable String16 mDescriptor;
};

}  // namespace android
