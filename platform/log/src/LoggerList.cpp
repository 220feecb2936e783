// The logger list API over the host buffer files in logBufferDir().
#include <errno.h>

#include <memory>
#include <string>
#include <vector>

#include <log/host_log.h>
#include <log/logger.h>

#include "MergedReader.h"

struct logger {
    log_id_t id;
};

struct logger_list {
    logger_list(bool blocking, log_time start, pid_t pid) : reader(blocking, start, pid) {}

    android::host::MergedReader reader;
    std::vector<std::unique_ptr<logger>> loggers;
};

const log_time log_time::EPOCH(0, 0);

extern "C" struct logger_list* android_logger_list_alloc_time(int mode, log_time start, pid_t pid) {
    if ((mode & ~ANDROID_LOG_NONBLOCK) != ANDROID_LOG_RDONLY) {
        errno = EINVAL;
        return nullptr;
    }
    auto list = std::make_unique<logger_list>((mode & ANDROID_LOG_NONBLOCK) == 0, start, pid);
    int result = list->reader.init();
    if (result != 0) {
        errno = -result;
        return nullptr;
    }
    return list.release();
}

extern "C" struct logger* android_logger_open(struct logger_list* list, log_id_t id) {
    const char* name = android_log_id_to_name(id);
    if (list == nullptr || name == nullptr) {
        errno = EINVAL;
        return nullptr;
    }
    for (auto& open : list->loggers) {
        if (open->id == id) return open.get();
    }
    std::string path = android::host::logBufferDir() + "/" + name;
    int result = list->reader.addBuffer(path);
    if (result != 0) {
        errno = -result;
        return nullptr;
    }
    list->loggers.push_back(std::make_unique<logger>(logger{id}));
    return list->loggers.back().get();
}

extern "C" log_id_t android_logger_get_id(struct logger* logger) {
    return logger != nullptr ? logger->id : LOG_ID_MAX;
}

extern "C" int android_logger_list_read(struct logger_list* list, struct log_msg* msg) {
    if (list == nullptr || msg == nullptr) return -EINVAL;
    return list->reader.read(msg);
}

extern "C" void android_logger_list_free(struct logger_list* list) {
    delete list;
}
