// Turning a log entry into its fields.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <time.h>

#include <android/log.h>
#include <log/logger.h>

#ifdef __cplusplus
extern "C" {
#endif

// Fields of one entry; tag and message point into the entry they came from
// and are NUL-terminated there.
typedef struct AndroidLogEntry_t {
    time_t tv_sec;
    long tv_nsec;
    android_LogPriority priority;
    int32_t pid;
    int32_t tid;
    const char* tag;
    size_t tagLen;
    const char* message;
    size_t messageLen;
} AndroidLogEntry;

// Fills entry from buf. 0 on success; a negative errno when the payload is
// too short or too long, or its tag or message does not end with a NUL
// inside the payload.
int android_log_processLogBuffer(struct logger_entry* buf, AndroidLogEntry* entry);

#ifdef __cplusplus
}
#endif
