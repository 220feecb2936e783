#include <binder/BpBinder.h>
#include <binder/Parcel.h>

#include <vector>

#include "Frame.h"
#include "ParcelFds.h"
#include "ServiceSocket.h"

namespace android {

BpBinder::BpBinder(UniqueFd connection, std::string serviceDir, std::string name)
    : mServiceDir(std::move(serviceDir)),
      mServiceName(std::move(name)),
      mConnection(std::move(connection)) {}

BpBinder::~BpBinder() = default;

const String16& BpBinder::getInterfaceDescriptor() const {
    static const String16* unknown = new String16();
    Mutex::Autolock guard(mDescriptorLock);
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
    Mutex::Autolock guard(mLock);
    return !mDead;
}

status_t BpBinder::pingBinder() {
    Parcel data;
    Parcel reply;
    return transact(PING_TRANSACTION, data, &reply);
}

status_t BpBinder::dump(int fd, const Vector<String16>& args) {
    Parcel data;
    Parcel reply;
    status_t status = data.writeFileDescriptor(fd);
    if (status == NO_ERROR) status = data.writeInt32(static_cast<int32_t>(args.size()));
    for (size_t i = 0; i < args.size() && status == NO_ERROR; ++i) {
        status = data.writeString16(args[i]);
    }
    return status == NO_ERROR ? transact(DUMP_TRANSACTION, data, &reply) : status;
}

status_t BpBinder::transact(uint32_t code, const Parcel& data, Parcel* reply, uint32_t flags) {
    if (data.dataSize() > host::kMaxFrameSize - host::kRequestHeaderSize ||
        host::ParcelFds::of(data).size() > host::kMaxFrameFds) {
        return FAILED_TRANSACTION;
    }
    Mutex::Autolock guard(mLock);
    const bool fresh = !mConnection.ok();
    if (fresh && !reopenLocked()) return DEAD_OBJECT;
    Failure failure = Failure::kNone;
    status_t status = transactOnce(code, data, reply, flags, &failure);
    // The service closes only connections it is not serving, so a call that
    // saw the close before any byte of its reply was never run.
    if (failure == Failure::kClosedBeforeReply && !fresh && (flags & FLAG_ONEWAY) == 0) {
        if (!reopenLocked()) return DEAD_OBJECT;
        status = transactOnce(code, data, reply, flags, &failure);
    }
    if (failure != Failure::kNone) mConnection.reset();
    return status;
}

bool BpBinder::reopenLocked() {
    if (!mDead) mConnection = host::connectToService(mServiceDir, mServiceName);
    mDead = !mConnection.ok();
    return !mDead;
}

status_t BpBinder::transactOnce(uint32_t code, const Parcel& data, Parcel* reply, uint32_t flags,
                                Failure* failure) {
    using host::IoResult;
    *failure = Failure::kNone;
    const int fd = mConnection.get();
    const std::vector<int>& fds = host::ParcelFds::of(data);
    uint8_t head[host::kRequestHeaderSize];
    host::encodeRequestHeader({code, flags, static_cast<uint32_t>(data.dataSize()),
                               static_cast<uint32_t>(fds.size())},
                              head);
    IoResult sent = host::sendFrame(fd, head, sizeof(head), data.data(), data.dataSize(), fds);
    if (sent != IoResult::kOk) {
        *failure = sent == IoResult::kPeerClosed ? Failure::kClosedBeforeReply : Failure::kBroken;
        return DEAD_OBJECT;
    }
    if ((flags & FLAG_ONEWAY) != 0) return NO_ERROR;

    uint8_t replyHead[host::kReplyHeaderSize];
    host::ReplyHeader header;
    IoResult received = host::readFully(fd, replyHead, sizeof(replyHead));
    if (received != IoResult::kOk || !host::decodeReplyHeader(replyHead, &header)) {
        *failure =
                received == IoResult::kPeerClosed ? Failure::kClosedBeforeReply : Failure::kBroken;
        return DEAD_OBJECT;
    }
    std::vector<uint8_t> body(header.dataSize);
    if (host::readFully(fd, body.data(), body.size()) != IoResult::kOk) {
        *failure = Failure::kBroken;
        return DEAD_OBJECT;
    }
    if (reply != nullptr) reply->setData(body.data(), body.size());
    return header.status;
}

}  // namespace android
