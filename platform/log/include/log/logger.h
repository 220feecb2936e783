// Reading the log buffers: the buffer ids, the entry an application reads,
// and the logger list that reads entries from one or more buffers, oldest
// first.
#pragma once

#include <stdint.h>
#include <sys/types.h>

#include <log/log_read.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum log_id {
    LOG_ID_MIN = 0,
    LOG_ID_MAIN = 0,
    LOG_ID_RADIO = 1,
    LOG_ID_EVENTS = 2,
    LOG_ID_SYSTEM = 3,
    LOG_ID_CRASH = 4,
    LOG_ID_MAX
} log_id_t;

// One entry as read: this header, then `len` bytes of payload (a priority
// byte, the tag and its NUL, the message and its NUL). The reader leaves
// __pad at 0.
struct logger_entry {
    uint16_t len;
    uint16_t __pad;
    int32_t pid;
    int32_t tid;
    int32_t sec;
    int32_t nsec;
    char msg[0];
};

#define LOGGER_ENTRY_MAX_PAYLOAD 4076
#define LOGGER_ENTRY_MAX_LEN (5 * 1024)

// Room for the largest entry and a NUL that the reader places after it.
struct log_msg {
    union {
        unsigned char buf[LOGGER_ENTRY_MAX_LEN + 1];
        struct logger_entry entry;
        struct logger_entry entry_v1;
    } __attribute__((aligned(4)));
#ifdef __cplusplus
    // Header and payload, in bytes.
    unsigned int len() const {
        return sizeof(entry) + entry.len;
    }
    char* msg() {
        return entry.msg;
    }
    uint64_t nsec() const {
        return static_cast<uint64_t>(static_cast<uint32_t>(entry.sec)) * 1000000000u +
               static_cast<uint32_t>(entry.nsec);
    }
#endif
};

// Modes of a logger list.
#define ANDROID_LOG_RDONLY 0x0000
#define ANDROID_LOG_NONBLOCK 0x0800

struct logger;
struct logger_list;

// "main" or "/dev/log/main" give LOG_ID_MAIN, and so on; LOG_ID_MAX for any
// other name.
log_id_t android_name_to_log_id(const char* name);
// "main", "radio", "events", "system", "crash"; NULL for any other id.
const char* android_log_id_to_name(log_id_t id);

// A list reading the entries of every process (pid 0) or of one process,
// whose time is not before start. Reads block unless mode holds
// ANDROID_LOG_NONBLOCK. NULL (errno set) when it cannot be made.
struct logger_list* android_logger_list_alloc_time(int mode, log_time start, pid_t pid);
// Adds the buffer of that id to the list, reading it from its oldest entry;
// opening a buffer twice gives the same logger. NULL for an unknown id or a
// buffer file that cannot be opened. The logger belongs to the list.
struct logger* android_logger_open(struct logger_list* list, log_id_t id);
log_id_t android_logger_get_id(struct logger* logger);
// Reads the oldest unread entry of the list's buffers into msg and returns
// its size in bytes (header and payload), or a negative errno: -EAGAIN when
// a non-blocking list has nothing to read, -EINTR when a signal handler
// interrupted the wait, -ENODEV when no buffer is open. One thread at a
// time per list.
int android_logger_list_read(struct logger_list* list, struct log_msg* msg);
// Frees the list with its loggers and closes their files.
void android_logger_list_free(struct logger_list* list);

#ifdef __cplusplus
}
#endif
