// A flat buffer of transaction data, written and read in order.
//
// Wire form: every value takes a multiple of 4 bytes, padded with zero
// bytes. An Int32 is 4 bytes little-endian. A String16 is an Int32 count of
// UTF-16 units (-1 for a null string), then the units, then one 0 unit,
// padded to 4 bytes. An interface token is an Int32 strict-mode policy
// header followed by the interface descriptor as a String16.
//
// Reading never goes past the data: a read that does not fit, or a string
// whose length is negative, past the end or not terminated, fails (a status,
// or an empty value for the forms without one) and leaves the position
// where it was. No read allocates more than the data holds.
//
// File descriptors: the parcel keeps a list of the descriptors written to
// it; the data holds, where each was written, a marker word (the bytes
// "HBFD") and then the descriptor's index in that list as a Uint32. The
// parcel closes those it owns when it is destroyed, freed or given new
// data, and never those it was only lent. Binder objects do not travel in
// a host parcel.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include <utils/Errors.h>
#include <utils/String16.h>
#include <utils/UniqueFd.h>

namespace android {

class IBinder;
class IPCThreadState;

namespace host {
class ParcelFds;
}

class Parcel {
  public:
    Parcel() = default;
    ~Parcel() = default;
    Parcel(const Parcel&) = delete;
    Parcel& operator=(const Parcel&) = delete;

    const uint8_t* data() const;
    size_t dataSize() const { return mDataSize; }
    // Bytes left to read from the current position.
    size_t dataAvail() const;
    size_t dataPosition() const { return mDataPos; }
    size_t dataCapacity() const { return mData.size(); }

    // Grows or cuts the data; the position stays within it.
    status_t setDataSize(size_t size);
    // Any position may be set; reads past the data fail.
    void setDataPosition(size_t pos) const { mDataPos = pos; }
    status_t setDataCapacity(size_t size);
    // Replaces the data with a copy of len bytes, dropping the descriptors;
    // the position goes to 0.
    status_t setData(const uint8_t* buffer, size_t len);
    // Drops the data and the descriptors.
    void freeData();

    status_t writeInterfaceToken(const String16& interface);
    // Reads a token and compares its descriptor with the binder's.
    bool checkInterface(IBinder* binder) const;
    // Reads a token and compares its descriptor with interface. The thread
    // state is accepted for the platform's signature; the host keeps no
    // strict-mode policy.
    bool enforceInterface(const String16& interface, IPCThreadState* threadState = nullptr) const;

    status_t writeInt32(int32_t value);
    status_t writeUint32(uint32_t value);
    status_t writeInt64(int64_t value);
    status_t writeString16(const String16& text);
    // A null units pointer writes a null string (length -1).
    status_t writeString16(const char16_t* units, size_t len);

    int32_t readInt32() const;  // 0 when it does not fit
    status_t readInt32(int32_t* value) const;
    uint32_t readUint32() const;
    status_t readUint32(uint32_t* value) const;
    int64_t readInt64() const;
    status_t readInt64(int64_t* value) const;
    // An empty string for a null or malformed one.
    String16 readString16() const;
    // A null string gives an empty text and BAD_VALUE.
    status_t readString16(String16* text) const;

    // Without takeOwnership the parcel is only lent fd, which the caller
    // keeps open for as long as the parcel is used; with it, the parcel
    // closes fd, even when the write fails.
    status_t writeFileDescriptor(int fd, bool takeOwnership = false);
    // Writes a close-on-exec duplicate of fd, which the parcel owns.
    status_t writeDupFileDescriptor(int fd);
    // The descriptor written at the position, still the parcel's: the
    // caller duplicates it to keep it. BAD_TYPE (negative) where there is
    // none, leaving the position where it was.
    int readFileDescriptor() const;

  private:
    friend class host::ParcelFds;

    // Writes len bytes at the position, zero-padded to 4, and moves past them.
    status_t writeAligned(const void* bytes, size_t len);
    // Reserves room for len bytes (padded) at the position; null when the
    // parcel would grow past its limit.
    uint8_t* writeSpace(size_t len);
    // The next len bytes (padded) if they fit; moves past them.
    const uint8_t* readAligned(size_t len) const;
    // Reads a String16 body; *isNull for length -1. Fails without moving.
    status_t readString16Units(std::u16string* units, bool* isNull) const;

    std::vector<uint8_t> mData;  // capacity; the first mDataSize bytes are data
    size_t mDataSize = 0;
    mutable size_t mDataPos = 0;
    std::vector<int> mFds;            // what the data's descriptor indices refer to
    std::vector<UniqueFd> mOwnedFds;  // those of mFds the parcel closes
};

}  // namespace android
