#include "ServiceWait.h"

#include <errno.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <binder/IBinder.h>
#include <binder/IServiceManager.h>
#include <binder/host_binder.h>
#include <utils/String16.h>
#include <utils/UniqueFd.h>

namespace sandbox {

bool awaitService(const std::string& dir, const std::string& name) {
    android::UniqueFd watch(inotify_init1(IN_CLOEXEC));
    // A service appears by a rename into the folder once it listens; the
    // watch is set before the first try, so that no appearance is missed.
    if (!watch.ok() || inotify_add_watch(watch.get(), dir.c_str(), IN_CREATE | IN_MOVED_TO) < 0) {
        return false;
    }
    android::host::setBinderServiceDir(dir);
    const android::String16 service(name.c_str());
    for (;;) {
        android::sp<android::IBinder> binder =
                android::defaultServiceManager()->checkService(service);
        if (binder != nullptr && binder->pingBinder() == android::NO_ERROR) return true;
        char events[4096];
        if (read(watch.get(), events, sizeof(events)) < 0 && errno != EINTR) return false;
    }
}

}  // namespace sandbox
