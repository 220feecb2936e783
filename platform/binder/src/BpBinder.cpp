#include <binder/BpBinder.h>
#include <binder/Parcel.h>

#include <vector>

#include "Frame.h"

namespace android {

BpBinder::BpBinder(UniqueFd connection) : mConnection(std::move(connection)) {}

BpBinder::~BpBinder() = default;

const String16& BpBinder::getInterfaceDescriptor() const {
    static const String16* unknown = new String16();
    std::lock_guard<std::mutex> guard(mDescriptorLock);
    if (!mDescriptorKnown) {
        Parcel data;
        Parcel reply;
        auto* self = const_cast<BpBinder*>(this);
        if (self->transact(INTERFACE_TRANSACTION, data, &reply) != NO_ERROR) return *unknown;
        // Written only here, once; references handed out stay valid.
        mDescriptor = reply.readString16();
        mDescriptorKnown = true;
    }
    return mDescriptor;
}

bool BpBinder::isBinderAlive() const {
    std::lock_guard<std::mutex> guard(mLock);
    return mConnection.ok();
}

status_t BpBinder::pingBinder() {
    Parcel data;
    Parcel reply;
    return transact(PING_TRANSACTION, data, &reply);
}

status_t BpBinder::dump(int /*fd*/, const Vector<String16>& /*args*/) {
    return INVALID_OPERATION;
}

status_t BpBinder::transact(uint32_t code, const Parcel& data, Parcel* reply, uint32_t flags) {
    if (data.dataSize() > host::kMaxFrameSize - host::kRequestHeaderSize) {
        return FAILED_TRANSACTION;
    }
    std::lock_guard<std::mutex> guard(mLock);
    if (!mConnection.ok()) return DEAD_OBJECT;
    status_t status = transactLocked(code, data, reply, flags);
    // A connection that failed part-way is out of step with the service.
    if (status == DEAD_OBJECT) mConnection.reset();
    return status;
}

status_t BpBinder::transactLocked(uint32_t code, const Parcel& data, Parcel* reply, uint32_t flags) {
    using host::IoResult;
    const int fd = mConnection.get();
    uint8_t head[host::kRequestHeaderSize];
    host::encodeRequestHeader({code, flags, static_cast<uint32_t>(data.dataSize())}, head);
    if (host::sendFrame(fd, head, sizeof(head), data.data(), data.dataSize(), std::nullopt) !=
        IoResult::kOk) {
        return DEAD_OBJECT;
    }
    if ((flags & FLAG_ONEWAY) != 0) return NO_ERROR;

    uint8_t replyHead[host::kReplyHeaderSize];
    host::ReplyHeader header;
    if (host::readFully(fd, replyHead, sizeof(replyHead), std::nullopt) != IoResult::kOk ||
        !host::decodeReplyHeader(replyHead, &header)) {
        return DEAD_OBJECT;
    }
    std::vector<uint8_t> body(header.dataSize);
    if (host::readFully(fd, body.data(), body.size(), std::nullopt) != IoResult::kOk) {
        return DEAD_OBJECT;
    }
    if (reply != nullptr) reply->setData(body.data(), body.size());
    return header.status;
}

}  // namespace android
