#include "LogRecord.h"

#include <fcntl.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include <utils/UniqueFd.h>

namespace android {
namespace host {

std::string encodeRecord(int prio, const char* tag, const char* message, int32_t pid, int32_t tid) {
    if (tag == nullptr) tag = "";
    if (message == nullptr) message = "";
    size_t tagLen = strnlen(tag, kMaxPayload - 3);
    size_t msgLen = strlen(message);
    size_t room = kMaxPayload - 3 - tagLen;
    if (msgLen > room) msgLen = room;

    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    RecordHeader header{};
    header.len = static_cast<uint16_t>(1 + tagLen + 1 + msgLen + 1);
    header.magic = kRecordMagic;
    header.pid = pid;
    header.tid = tid;
    header.sec = static_cast<int32_t>(now.tv_sec);
    header.nsec = static_cast<int32_t>(now.tv_nsec);

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
    return written == static_cast<ssize_t>(record.size());
}

}  // namespace host
}  // namespace android
