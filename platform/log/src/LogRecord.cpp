#include "LogRecord.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>

#include <utils/UniqueFd.h>

namespace android {
namespace host {

std::string encodeRecord(int prio, const char* tag, const char* message, int32_t pid, int32_t tid,
                         const timespec& when) {
    if (tag == nullptr) tag = "";
    if (message == nullptr) message = "";
    size_t tagLen = strnlen(tag, kMaxPayload - kMinPayload);
    size_t msgLen = strlen(message);
    size_t room = kMaxPayload - kMinPayload - tagLen;
    if (msgLen > room) msgLen = room;

    RecordHeader header{};
    header.len = static_cast<uint16_t>(1 + tagLen + 1 + msgLen + 1);
    header.magic = kRecordMagic;
    header.pid = pid;
    header.tid = tid;
    header.sec = static_cast<int32_t>(when.tv_sec);
    header.nsec = static_cast<int32_t>(when.tv_nsec);

    std::string record(reinterpret_cast<const char*>(&header), sizeof(header));
    record.push_back(static_cast<char>(prio));
    record.append(tag, tagLen);
    record.push_back('\0');
    record.append(message, msgLen);
    record.push_back('\0');
    return record;
}

bool appendRecordToFile(const std::string& path, const std::string& record) {
    // O_NONBLOCK: a buffer that is not a regular file must never hold a writer.
    UniqueFd fd(open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.ok()) return false;
    ssize_t written = write(fd.get(), record.data(), record.size());
    if (written == static_cast<ssize_t>(record.size())) return true;
    if (written >= 0) errno = ENOSPC;
    return false;
}

bool splitPayload(const char* payload, size_t len, PayloadFields* fields) {
    if (len < kMinPayload || len > kMaxPayload) return false;
    const char* end = payload + len;
    const char* tag = payload + 1;
    const char* tagEnd = static_cast<const char*>(memchr(tag, '\0', end - tag));
    if (tagEnd == nullptr) return false;
    const char* message = tagEnd + 1;
    const char* messageEnd = static_cast<const char*>(memchr(message, '\0', end - message));
    if (messageEnd == nullptr) return false;
    *fields = PayloadFields{tag, static_cast<size_t>(tagEnd - tag), message,
                            static_cast<size_t>(messageEnd - message)};
    return true;
}

namespace {

uint16_t magicAt(const char* data) {
    uint16_t magic;
    memcpy(&magic, data + offsetof(RecordHeader, magic), sizeof(magic));
    return magic;
}

bool headerFieldsValid(const RecordHeader& header) {
    return header.len >= kMinPayload && header.len <= kMaxPayload && header.nsec >= 0 &&
           header.nsec < 1000000000;
}

// Whether a record header that could be real starts inside data[from, end).
// Payloads are text, which never holds the magic, so one found there means
// the record was cut short and another written after it.
bool holdsRecordStart(const char* data, size_t from, size_t end, size_t available) {
    const char kMagicBytes[] = {static_cast<char>(kRecordMagic & 0xFF),
                                static_cast<char>(kRecordMagic >> 8)};
    for (size_t at = from; at + 1 < end; ++at) {
        const char* hit = static_cast<const char*>(memchr(data + at, kMagicBytes[0], end - at - 1));
        if (hit == nullptr) return false;
        at = static_cast<size_t>(hit - data);
        if (hit[1] != kMagicBytes[1]) continue;
        size_t start = at - offsetof(RecordHeader, magic);
        if (available - start < sizeof(RecordHeader)) return true;
        RecordHeader header;
        memcpy(&header, data + start, sizeof(header));
        if (headerFieldsValid(header)) return true;
    }
    return false;
}

}  // namespace

RecordCheck checkRecord(const char* data, size_t available, size_t* size) {
    // The magic is checked as soon as it is there, so that damage is passed
    // over byte by byte without waiting for a whole header's worth of data.
    if (available < offsetof(RecordHeader, magic) + sizeof(uint16_t)) {
        return RecordCheck::kIncomplete;
    }
    if (magicAt(data) != kRecordMagic) return RecordCheck::kDamaged;
    RecordHeader header;
    if (available < sizeof(header)) return RecordCheck::kIncomplete;
    memcpy(&header, data, sizeof(header));
    if (!headerFieldsValid(header)) return RecordCheck::kDamaged;
    size_t recordSize = sizeof(header) + header.len;
    if (holdsRecordStart(data, sizeof(header), std::min(available, recordSize), available)) {
        return RecordCheck::kDamaged;
    }
    if (available < recordSize) return RecordCheck::kIncomplete;
    PayloadFields fields;
    if (!splitPayload(data + sizeof(header), header.len, &fields)) return RecordCheck::kDamaged;
    *size = recordSize;
    return RecordCheck::kComplete;
}

}  // namespace host
}  // namespace android
