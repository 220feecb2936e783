// The lyrd process: starts the binder thread pool, creates the one service
// (whose constructor runs the whole start-up), publishes it as "lyrd" and
// serves binder transactions for the rest of the process's life.
#define LOG_TAG "LyrDebugService"

#include <binder/IPCThreadState.h>
#include <binder/IServiceManager.h>
#include <binder/ProcessState.h>
#include <log/log.h>

#include "service/LyrDebugService.h"

int main(int /*argc*/, char** /*argv*/) {
    android::sp<android::ProcessState> process = android::ProcessState::self();
    process->startThreadPool();

    // The service manager's reference keeps the service for the life of
    // the process. It is published whether or not the start-up succeeded,
    // so that callers learn from sendEvent that it is not started.
    android::sp<ornak::xel::LyrDebugService> service = new ornak::xel::LyrDebugService();
    android::status_t added =
            android::defaultServiceManager()->addService(android::String16("lyrd"), service);
    if (added != android::NO_ERROR) ALOGE("Failed to publish service lyrd, %d", added);

    // Returns only when a device's binder driver fails (the host loop never
    // ends); the process then ends normally, releasing its binder state.
    android::IPCThreadState::self()->joinThreadPool(true);
    return 0;
}
