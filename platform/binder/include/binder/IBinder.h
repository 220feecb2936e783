// The base of every binder object, local (BBinder) or remote (BpBinder).
#pragma once

#include <stdint.h>

#include <utils/Errors.h>
#include <utils/RefBase.h>
#include <utils/String16.h>
#include <utils/Vector.h>

namespace android {

class BBinder;
class BpBinder;
class IInterface;
class Parcel;

// Packs four characters big-endian into a transaction code.
#define B_PACK_CHARS(c1, c2, c3, c4)                                                 \
    ((((uint32_t)(c1)) << 24) | (((uint32_t)(c2)) << 16) | (((uint32_t)(c3)) << 8) | \
     ((uint32_t)(c4)))

class IBinder : public virtual RefBase {
  public:
    enum {
        FIRST_CALL_TRANSACTION = 0x00000001,
        LAST_CALL_TRANSACTION = 0x00ffffff,

        PING_TRANSACTION = B_PACK_CHARS('_', 'P', 'N', 'G'),
        DUMP_TRANSACTION = B_PACK_CHARS('_', 'D', 'M', 'P'),
        INTERFACE_TRANSACTION = B_PACK_CHARS('_', 'N', 'T', 'F'),
        SYSPROPS_TRANSACTION = B_PACK_CHARS('_', 'S', 'P', 'R'),

        // The caller does not wait for the call to run and gets no reply.
        FLAG_ONEWAY = 0x00000001,
    };

    IBinder() = default;

    // The interface object behind this binder when it lives in this process
    // and implements descriptor; null otherwise.
    virtual sp<IInterface> queryLocalInterface(const String16& descriptor);

    virtual const String16& getInterfaceDescriptor() const = 0;
    virtual bool isBinderAlive() const = 0;
    virtual status_t pingBinder() = 0;
    virtual status_t dump(int fd, const Vector<String16>& args) = 0;
    virtual status_t transact(uint32_t code, const Parcel& data, Parcel* reply,
                              uint32_t flags = 0) = 0;

    virtual BBinder* localBinder();
    virtual BpBinder* remoteBinder();

  protected:
    virtual ~IBinder();

  private:
    IBinder(const IBinder&) = delete;
    IBinder& operator=(const IBinder&) = delete;
};

}  // namespace android
