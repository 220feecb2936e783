// The record layout of the host log buffer files.
//
// A buffer is a regular file of records, each appended with one write()
// under O_APPEND so that concurrent writers never interleave. A record is
// the 20-byte entry header followed by its payload:
//
//   uint16  len      payload length in bytes, 3 to LOGGER_ENTRY_MAX_PAYLOAD
//   uint16  magic    0xB1FE, to find damaged records
//   int32   pid, tid of the writer
//   int32   sec, nsec  wall-clock time of the write, nsec below 10^9
//   payload: priority byte, tag, NUL, message, NUL
//
// All fields are little-endian, as on the devices this mirrors. The magic's
// first byte, 0xFE, never occurs in UTF-8 text, so a reader that lost its
// place cannot mistake a message for the start of a record, and a payload
// that holds the magic is taken for a record cut short by the next one (a
// message that is not text may be lost that way). A reader hands records
// out with the layout of struct logger_entry, magic cleared.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <time.h>

#include <string>

#include <log/logger.h>

namespace android {
namespace host {

constexpr uint16_t kRecordMagic = 0xB1FE;
constexpr size_t kRecordHeaderSize = 20;
constexpr size_t kMinPayload = 3;
constexpr size_t kMaxPayload = LOGGER_ENTRY_MAX_PAYLOAD;
constexpr size_t kMaxRecordSize = kRecordHeaderSize + kMaxPayload;

struct RecordHeader {
    uint16_t len;
    uint16_t magic;
    int32_t pid;
    int32_t tid;
    int32_t sec;
    int32_t nsec;
};
static_assert(sizeof(RecordHeader) == kRecordHeaderSize, "record header is 20 bytes");
static_assert(sizeof(logger_entry) == kRecordHeaderSize, "readers see the header as it is");

// Builds a whole record stamped with `when`; an overlong tag or message is
// cut to fit the payload.
std::string encodeRecord(int prio, const char* tag, const char* message, int32_t pid, int32_t tid,
                         const timespec& when);

// Appends one record to the file at path; false (errno set) when the file
// does not exist or cannot be written. Never creates the file.
bool appendRecordToFile(const std::string& path, const std::string& record);

// Where the tag and the message of a payload lie. The payload is valid when
// it holds at least the priority byte and two NULs, and both the tag and the
// message end with a NUL inside it.
struct PayloadFields {
    const char* tag;
    size_t tagLen;
    const char* message;
    size_t messageLen;
};
bool splitPayload(const char* payload, size_t len, PayloadFields* fields);

// What the bytes at the start of `data` hold.
enum class RecordCheck {
    kComplete,    // a whole valid record of *size bytes
    kIncomplete,  // the start of a record, or too few bytes to tell
    kDamaged,     // not a record
};
RecordCheck checkRecord(const char* data, size_t available, size_t* size);

}  // namespace host
}  // namespace android
