#include <binder/Binder.h>
#include <binder/IInterface.h>
#include <binder/Parcel.h>

namespace android {
namespace {

// The arguments of a dump: an Int32 count, then as many String16. Each
// read moves past at least one word, so a count larger than the data
// fails without growing the list past what the data holds.
status_t readDumpArguments(const Parcel& data, Vector<String16>* args) {
    int32_t count = 0;
    if (data.readInt32(&count) != NO_ERROR || count < 0) return BAD_VALUE;
    for (int32_t i = 0; i < count; ++i) {
        String16 arg;
        if (data.readString16(&arg) != NO_ERROR) return BAD_VALUE;
        args->add(arg);
    }
    return NO_ERROR;
}

}  // namespace

IBinder::~IBinder() = default;

sp<IInterface> IBinder::queryLocalInterface(const String16& /*descriptor*/) {
    return nullptr;
}

BBinder* IBinder::localBinder() {
    return nullptr;
}

BpBinder* IBinder::remoteBinder() {
    return nullptr;
}

BBinder::~BBinder() = default;

const String16& BBinder::getInterfaceDescriptor() const {
    // Never destroyed, so it outlives every binder.
    static const String16* empty = new String16();
    return *empty;
}

status_t BBinder::dump(int /*fd*/, const Vector<String16>& /*args*/) {
    return NO_ERROR;
}

status_t BBinder::transact(uint32_t code, const Parcel& data, Parcel* reply, uint32_t flags) {
    data.setDataPosition(0);
    status_t status = code == PING_TRANSACTION ? NO_ERROR : onTransact(code, data, reply, flags);
    if (reply != nullptr) reply->setDataPosition(0);
    return status;
}

status_t BBinder::onTransact(uint32_t code, const Parcel& data, Parcel* reply, uint32_t /*flags*/) {
    switch (code) {
        case INTERFACE_TRANSACTION:
            if (reply != nullptr) reply->writeString16(getInterfaceDescriptor());
            return NO_ERROR;
        case SYSPROPS_TRANSACTION:
            return NO_ERROR;
        case DUMP_TRANSACTION: {
            const int fd = data.readFileDescriptor();
            if (fd < 0) return BAD_TYPE;
            Vector<String16> args;
            status_t status = readDumpArguments(data, &args);
            return status == NO_ERROR ? dump(fd, args) : status;
        }
        default:
            return UNKNOWN_TRANSACTION;
    }
}

IInterface::~IInterface() = default;

sp<IBinder> IInterface::asBinder(const IInterface* iface) {
    if (iface == nullptr) return nullptr;
    return const_cast<IInterface*>(iface)->onAsBinder();
}

sp<IBinder> IInterface::asBinder(const sp<IInterface>& iface) {
    return asBinder(iface.get());
}

}  // namespace android
