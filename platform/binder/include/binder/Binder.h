// A binder object implemented in this process. transact() answers a ping
// itself and hands every other code to onTransact(); the base onTransact()
// gives the standard answers: the interface descriptor for an interface
// query, NO_ERROR for a system-property refresh, dump()'s status for a dump
// (BAD_TYPE when the data holds no descriptor first, BAD_VALUE when the
// arguments that follow it are malformed), and UNKNOWN_TRANSACTION for
// everything else.
#pragma once

#include <binder/IBinder.h>

namespace android {

class BBinder : public IBinder {
  public:
    BBinder() = default;

    // The empty descriptor; interfaces override it.
    const String16& getInterfaceDescriptor() const override;
    bool isBinderAlive() const override { return true; }
    status_t pingBinder() override { return NO_ERROR; }
    // Writes nothing; interfaces override it. fd stays the caller's.
    status_t dump(int fd, const Vector<String16>& args) override;
    // Reads data from its start; leaves the reply's position at its start.
    status_t transact(uint32_t code, const Parcel& data, Parcel* reply, uint32_t flags = 0) override;

    BBinder* localBinder() override { return this; }

  protected:
    ~BBinder() override;

    virtual status_t onTransact(uint32_t code, const Parcel& data, Parcel* reply,
                                uint32_t flags = 0);
};

}  // namespace android
