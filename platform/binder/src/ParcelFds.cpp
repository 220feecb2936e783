#include "ParcelFds.h"

#include <errno.h>
#include <fcntl.h>

namespace android {

status_t Parcel::writeFileDescriptor(int fd, bool takeOwnership) {
    UniqueFd owned(takeOwnership ? fd : -1);
    if (fd < 0) return BAD_VALUE;
    // Both words in one step, so that a failed write leaves no marker.
    uint8_t* at = writeSpace(8);
    if (at == nullptr) return NO_MEMORY;
    const uint32_t words[2] = {host::kFdMarker, static_cast<uint32_t>(mFds.size())};
    for (int i = 0; i < 8; ++i) at[i] = static_cast<uint8_t>(words[i / 4] >> (8 * (i % 4)));
    mFds.push_back(fd);
    if (owned.ok()) mOwnedFds.push_back(std::move(owned));
    return NO_ERROR;
}

status_t Parcel::writeDupFileDescriptor(int fd) {
    UniqueFd copy(fcntl(fd, F_DUPFD_CLOEXEC, 0));
    if (!copy.ok()) return -errno;
    return writeFileDescriptor(copy.release(), true);
}

int Parcel::readFileDescriptor() const {
    const size_t start = mDataPos;
    uint32_t marker = 0;
    uint32_t index = 0;
    if (readUint32(&marker) == NO_ERROR && marker == host::kFdMarker &&
        readUint32(&index) == NO_ERROR && index < mFds.size()) {
        return mFds[index];
    }
    mDataPos = start;
    return BAD_TYPE;
}

namespace host {

void ParcelFds::adopt(Parcel* parcel, std::vector<UniqueFd> fds) {
    parcel->mFds.clear();
    for (const UniqueFd& fd : fds) parcel->mFds.push_back(fd.get());
    parcel->mOwnedFds = std::move(fds);
}

}  // namespace host
}  // namespace android
