// An interface that a binder object implements. BnInterface<INTERFACE> is
// the local side: it is both the interface and its BBinder, and answers
// queries for INTERFACE::descriptor (a static String16 of the interface).
#pragma once

#include <binder/Binder.h>

namespace android {

class IInterface : public virtual RefBase {
  public:
    IInterface() = default;

    static sp<IBinder> asBinder(const IInterface* iface);
    static sp<IBinder> asBinder(const sp<IInterface>& iface);

  protected:
    virtual ~IInterface();
    virtual IBinder* onAsBinder() = 0;
};

// The interface behind obj; INTERFACE provides a static asInterface().
template <typename INTERFACE>
inline sp<INTERFACE> interface_cast(const sp<IBinder>& obj) {
    return INTERFACE::asInterface(obj);
}

template <typename INTERFACE>
class BnInterface : public INTERFACE, public BBinder {
  public:
    sp<IInterface> queryLocalInterface(const String16& descriptor) override;
    const String16& getInterfaceDescriptor() const override;

  protected:
    IBinder* onAsBinder() override { return this; }
};

template <typename INTERFACE>
sp<IInterface> BnInterface<INTERFACE>::queryLocalInterface(const String16& descriptor) {
    const String16& own = INTERFACE::descriptor;
    if (strzcmp16(descriptor.string(), descriptor.size(), own.string(), own.size()) == 0) {
        return sp<IInterface>(static_cast<INTERFACE*>(this));
    }
    return nullptr;
}

template <typename INTERFACE>
const String16& BnInterface<INTERFACE>::getInterfaceDescriptor() const {
    return INTERFACE::descriptor;
}

}  // namespace android
