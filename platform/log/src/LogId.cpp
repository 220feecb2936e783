// Names of the log buffers.
#include <string.h>

#include <log/logger.h>

namespace {

const char* const kNames[LOG_ID_MAX] = {"main", "radio", "events", "system", "crash"};
// Buffer names may be given as the device paths of their files.
const char kDevicePrefix[] = "/dev/log/";

}  // namespace

extern "C" log_id_t android_name_to_log_id(const char* name) {
    if (name == nullptr) return LOG_ID_MAX;
    if (strncmp(name, kDevicePrefix, sizeof(kDevicePrefix) - 1) == 0) {
        name += sizeof(kDevicePrefix) - 1;
    }
    for (int id = LOG_ID_MIN; id < LOG_ID_MAX; ++id) {
        if (strcmp(name, kNames[id]) == 0) return static_cast<log_id_t>(id);
    }
    return LOG_ID_MAX;
}

extern "C" const char* android_log_id_to_name(log_id_t id) {
    return id >= LOG_ID_MIN && id < LOG_ID_MAX ? kNames[id] : nullptr;
}
