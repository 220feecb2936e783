// The daemon's binder interface: other processes hand it event names.
//
// Transaction SEND_EVENT (1): the data parcel holds the interface token of
// "ornak.xel.lyrd" and the event name as a String16; the reply holds one
// Int32, the result of sendEvent. A wrong or missing token fails the
// transaction with PERMISSION_DENIED and an empty reply.
#pragma once

#include <binder/IInterface.h>
#include <binder/Parcel.h>
#include <utils/String16.h>
#include <utils/String8.h>

namespace ornak {
namespace xel {

class ILyrDebugService : public android::IInterface {
  public:
    enum { SEND_EVENT = android::IBinder::FIRST_CALL_TRANSACTION };

    static const android::String16 descriptor;

    virtual const android::String16& getInterfaceDescriptor() const;
    // Queues name for dumping; 0, or INVALID_OPERATION while the service is
    // not started.
    virtual android::status_t sendEvent(const android::String8& name) = 0;

  protected:
    ~ILyrDebugService() override;
};

// The native side: unmarshals SEND_EVENT and calls sendEvent. Every other
// code gets the standard answers of a plain binder object.
class BnLyrDebugService : public android::BnInterface<ILyrDebugService> {
  public:
    android::status_t onTransact(uint32_t code, const android::Parcel& data, android::Parcel* reply,
                                 uint32_t flags = 0) override;
};

}  // namespace xel
}  // namespace ornak
