// Publishing and finding services by name.
//
// On a host every published service is a listening local stream socket
// named after the service in the service folder ("/dev/hostbinder"). The
// folder is created with mode 0755 when missing; the socket file gets mode
// 0660, so only processes of the publishing process's user or group may
// connect. Each request on a connection is one frame: code, flags and the
// data parcel with its descriptors; a reply frame with the status and the
// reply parcel comes back unless the call is one-way.
#pragma once

#include <binder/IInterface.h>
#include <utils/String16.h>

namespace android {

class IServiceManager : public IInterface {
  public:
    // checkService, retried for a few seconds while the service is missing.
    virtual sp<IBinder> getService(const String16& name) const = 0;
    // A proxy for the named service; null when it cannot be reached.
    virtual sp<IBinder> checkService(const String16& name) const = 0;
    // Publishes a local binder under name. allowIsolated is accepted for the
    // platform's signature; the socket's mode decides who may connect.
    virtual status_t addService(const String16& name, const sp<IBinder>& service,
                                bool allowIsolated = false) = 0;
};

sp<IServiceManager> defaultServiceManager();

}  // namespace android
