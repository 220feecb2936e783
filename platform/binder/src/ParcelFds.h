// The descriptors of a parcel as the host transport moves them: the client
// sends them beside the data of a request, and the server hands those it
// received to the parcel it makes of the request. Host-only; the daemon's
// code sees descriptors through Parcel alone.
#pragma once

#include <stdint.h>

#include <vector>

#include <binder/Parcel.h>
#include <utils/UniqueFd.h>

namespace android {
namespace host {

// The word before a descriptor's index in the data: "HBFD" on the wire.
constexpr uint32_t kFdMarker = 0x44464248;

class ParcelFds {
  public:
    // In the order of the indices the data refers to them by.
    static const std::vector<int>& of(const Parcel& parcel) { return parcel.mFds; }
    // Makes fds the parcel's whole descriptor list, owned by the parcel.
    static void adopt(Parcel* parcel, std::vector<UniqueFd> fds);
};

}  // namespace host
}  // namespace android
