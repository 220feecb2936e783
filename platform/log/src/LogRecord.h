// The record layout of the host log buffer files.
//
// A buffer is a regular file of records, each appended with one write()
// under O_APPEND so that concurrent writers never interleave. A record is
// the 20-byte entry header followed by its payload:
//
//   uint16  len      payload length in bytes
//   uint16  magic    0x594C, to find damaged records
//   int32   pid, tid of the writer
//   int32   sec, nsec  wall-clock time of the write
//   payload: priority byte, tag, NUL, message, NUL
//
// All fields are little-endian, as on the devices this mirrors.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>

namespace android {
namespace host {

constexpr uint16_t kRecordMagic = 0x594C;
constexpr size_t kRecordHeaderSize = 20;
constexpr size_t kMaxPayload = 4076;

struct RecordHeader {
    uint16_t len;
    uint16_t magic;
    int32_t pid;
    int32_t tid;
    int32_t sec;
    int32_t nsec;
};
static_assert(sizeof(RecordHeader) == kRecordHeaderSize, "record header is 20 bytes");

// Builds a whole record; an overlong message is cut to fit the payload.
std::string encodeRecord(int prio, const char* tag, const char* message, int32_t pid, int32_t tid);

// Appends one record to the file at path; false when the file does not
// exist or cannot be written. Never creates the file.
bool appendRecordToFile(const std::string& path, const std::string& record);

}  // namespace host
}  // namespace android
