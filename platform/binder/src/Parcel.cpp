#include <binder/Parcel.h>

#include <string.h>

#include <binder/IBinder.h>

namespace android {
namespace {

// A parcel never grows past what an Int32 size can describe.
constexpr size_t kMaxParcelSize = 0x7fffffff;

// The strict-mode policy header of an interface token: no policy bits, with
// the flag that asks the callee to gather violations.
constexpr int32_t kStrictModePenaltyGather = 0x40 << 16;

constexpr size_t padded(size_t len) {
    return (len + 3) & ~static_cast<size_t>(3);
}

}  // namespace

const uint8_t* Parcel::data() const {
    return mData.empty() ? nullptr : mData.data();
}

size_t Parcel::dataAvail() const {
    return mDataPos < mDataSize ? mDataSize - mDataPos : 0;
}

status_t Parcel::setDataSize(size_t size) {
    if (size > kMaxParcelSize) return BAD_VALUE;
    if (size > mData.size()) mData.resize(size, 0);
    mDataSize = size;
    if (mDataPos > size) mDataPos = size;
    return NO_ERROR;
}

status_t Parcel::setDataCapacity(size_t size) {
    if (size > kMaxParcelSize) return BAD_VALUE;
    if (size > mData.size()) mData.resize(size, 0);
    return NO_ERROR;
}

status_t Parcel::setData(const uint8_t* buffer, size_t len) {
    if (len > kMaxParcelSize || (buffer == nullptr && len != 0)) return BAD_VALUE;
    mData.assign(buffer, buffer + len);
    mDataSize = len;
    mDataPos = 0;
    mFds.clear();
    mOwnedFds.clear();
    return NO_ERROR;
}

void Parcel::freeData() {
    std::vector<uint8_t>().swap(mData);
    mDataSize = 0;
    mDataPos = 0;
    mFds.clear();
    mOwnedFds.clear();
}

uint8_t* Parcel::writeSpace(size_t len) {
    size_t size = padded(len);
    if (size < len || mDataPos > kMaxParcelSize || size > kMaxParcelSize - mDataPos) return nullptr;
    size_t end = mDataPos + size;
    if (end > mData.size()) mData.resize(end, 0);
    // Whatever lies between the old end and the position is zero-filled.
    if (mDataPos > mDataSize) memset(mData.data() + mDataSize, 0, mDataPos - mDataSize);
    uint8_t* at = mData.data() + mDataPos;
    memset(at + len, 0, size - len);
    mDataPos = end;
    if (end > mDataSize) mDataSize = end;
    return at;
}

status_t Parcel::writeAligned(const void* bytes, size_t len) {
    uint8_t* at = writeSpace(len);
    if (at == nullptr) return NO_MEMORY;
    if (len != 0) memcpy(at, bytes, len);
    return NO_ERROR;
}

const uint8_t* Parcel::readAligned(size_t len) const {
    size_t size = padded(len);
    if (size < len || mDataPos > mDataSize || size > mDataSize - mDataPos) return nullptr;
    const uint8_t* at = mData.data() + mDataPos;
    mDataPos += size;
    return at;
}

status_t Parcel::writeUint32(uint32_t value) {
    uint8_t bytes[4];
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    return writeAligned(bytes, sizeof(bytes));
}

status_t Parcel::writeInt32(int32_t value) {
    return writeUint32(static_cast<uint32_t>(value));
}

status_t Parcel::writeInt64(int64_t value) {
    uint8_t bytes[8];
    for (int i = 0; i < 8; ++i)
        bytes[i] = static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i));
    return writeAligned(bytes, sizeof(bytes));
}

status_t Parcel::readUint32(uint32_t* value) const {
    const uint8_t* at = readAligned(4);
    if (at == nullptr) return NOT_ENOUGH_DATA;
    *value = 0;
    for (int i = 3; i >= 0; --i) *value = (*value << 8) | at[i];
    return NO_ERROR;
}

uint32_t Parcel::readUint32() const {
    uint32_t value = 0;
    return readUint32(&value) == NO_ERROR ? value : 0;
}

status_t Parcel::readInt32(int32_t* value) const {
    uint32_t raw = 0;
    status_t status = readUint32(&raw);
    if (status == NO_ERROR) *value = static_cast<int32_t>(raw);
    return status;
}

int32_t Parcel::readInt32() const {
    int32_t value = 0;
    return readInt32(&value) == NO_ERROR ? value : 0;
}

status_t Parcel::readInt64(int64_t* value) const {
    const uint8_t* at = readAligned(8);
    if (at == nullptr) return NOT_ENOUGH_DATA;
    uint64_t raw = 0;
    for (int i = 7; i >= 0; --i) raw = (raw << 8) | at[i];
    *value = static_cast<int64_t>(raw);
    return NO_ERROR;
}

int64_t Parcel::readInt64() const {
    int64_t value = 0;
    return readInt64(&value) == NO_ERROR ? value : 0;
}

status_t Parcel::writeString16(const String16& text) {
    return writeString16(text.string(), text.size());
}

status_t Parcel::writeString16(const char16_t* units, size_t len) {
    if (units == nullptr) return writeInt32(-1);
    // The count, the units and the terminator must fit a parcel.
    if (len > (kMaxParcelSize - 8) / 2) return BAD_VALUE;
    size_t start = mDataPos;
    status_t status = writeInt32(static_cast<int32_t>(len));
    if (status != NO_ERROR) return status;
    size_t bytes = (len + 1) * 2;
    uint8_t* at = writeSpace(bytes);
    if (at == nullptr) {
        mDataPos = start;
        return NO_MEMORY;
    }
    for (size_t i = 0; i < len; ++i) {
        at[2 * i] = static_cast<uint8_t>(units[i]);
        at[2 * i + 1] = static_cast<uint8_t>(units[i] >> 8);
    }
    at[2 * len] = 0;
    at[2 * len + 1] = 0;
    return NO_ERROR;
}

status_t Parcel::readString16Units(std::u16string* units, bool* isNull) const {
    size_t start = mDataPos;
    int32_t len = 0;
    if (readInt32(&len) != NO_ERROR) return NOT_ENOUGH_DATA;
    *isNull = len == -1;
    if (*isNull) return NO_ERROR;
    // The length is checked against the data before anything is allocated.
    const uint8_t* at = len >= 0 ? readAligned((static_cast<size_t>(len) + 1) * 2) : nullptr;
    size_t count = static_cast<size_t>(len);
    if (at == nullptr || at[2 * count] != 0 || at[2 * count + 1] != 0) {
        mDataPos = start;
        return len >= 0 ? NOT_ENOUGH_DATA : BAD_VALUE;
    }
    units->resize(count);
    for (size_t i = 0; i < units->size(); ++i) {
        (*units)[i] = static_cast<char16_t>(at[2 * i] | (at[2 * i + 1] << 8));
    }
    return NO_ERROR;
}

status_t Parcel::readString16(String16* text) const {
    std::u16string units;
    bool isNull = false;
    status_t status = readString16Units(&units, &isNull);
    *text = String16(units.data(), units.size());
    if (status == NO_ERROR && isNull) return BAD_VALUE;
    return status;
}

String16 Parcel::readString16() const {
    String16 text;
    readString16(&text);
    return text;
}

status_t Parcel::writeInterfaceToken(const String16& interface) {
    status_t status = writeInt32(kStrictModePenaltyGather);
    if (status != NO_ERROR) return status;
    return writeString16(interface);
}

bool Parcel::enforceInterface(const String16& interface, IPCThreadState* /*threadState*/) const {
    int32_t policy = 0;
    if (readInt32(&policy) != NO_ERROR) return false;
    std::u16string units;
    bool isNull = false;
    if (readString16Units(&units, &isNull) != NO_ERROR || isNull) return false;
    return strzcmp16(units.data(), units.size(), interface.string(), interface.size()) == 0;
}

bool Parcel::checkInterface(IBinder* binder) const {
    if (binder == nullptr) return false;
    return enforceInterface(binder->getInterfaceDescriptor());
}

}  // namespace android
