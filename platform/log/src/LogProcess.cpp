// Splitting a read entry into its fields.
#include <errno.h>

#include <log/logprint.h>

#include "LogRecord.h"

extern "C" int android_log_processLogBuffer(struct logger_entry* buf, AndroidLogEntry* entry) {
    if (buf == nullptr || entry == nullptr) return -EINVAL;
    android::host::PayloadFields fields;
    if (!android::host::splitPayload(buf->msg, buf->len, &fields)) return -EINVAL;
    entry->tv_sec = static_cast<time_t>(static_cast<uint32_t>(buf->sec));
    entry->tv_nsec = buf->nsec;
    unsigned char prio = static_cast<unsigned char>(buf->msg[0]);
    entry->priority = prio <= ANDROID_LOG_SILENT ? static_cast<android_LogPriority>(prio)
                                                 : ANDROID_LOG_UNKNOWN;
    entry->pid = buf->pid;
    entry->tid = buf->tid;
    entry->tag = fields.tag;
    entry->tagLen = fields.tagLen;
    entry->message = fields.message;
    entry->messageLen = fields.messageLen;
    return 0;
}
