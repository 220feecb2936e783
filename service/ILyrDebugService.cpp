#include "service/ILyrDebugService.h"

namespace ornak {
namespace xel {

const android::String16 ILyrDebugService::descriptor("ornak.xel.lyrd");

ILyrDebugService::~ILyrDebugService() = default;

const android::String16& ILyrDebugService::getInterfaceDescriptor() const {
    return descriptor;
}

android::status_t BnLyrDebugService::onTransact(uint32_t code, const android::Parcel& data,
                                                android::Parcel* reply, uint32_t flags) {
    if (code != SEND_EVENT) return BBinder::onTransact(code, data, reply, flags);
    if (!data.checkInterface(this)) return android::PERMISSION_DENIED;
    // A parcel cut short or with an unreadable name reads as the empty name.
    android::String8 name(data.readString16());
    android::status_t result = sendEvent(name);
    if (reply != nullptr) reply->writeInt32(result);
    return android::NO_ERROR;
}

}  // namespace xel
}  // namespace ornak
