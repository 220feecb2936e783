// Captures the records the process logs while it lives, instead of writing
// them to standard error.
#pragma once

#include <iosfwd>
#include <mutex>
#include <string>
#include <vector>

namespace lyrd_test {

struct LogRecord {
    int prio;
    std::string tag;
    std::string message;
    bool operator==(const LogRecord& other) const {
        return prio == other.prio && tag == other.tag && message == other.message;
    }
};

std::ostream& operator<<(std::ostream& out, const LogRecord& record);

class LogCapture {
  public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<LogRecord> records() const;
    // Records under one tag, in order.
    std::vector<LogRecord> records(const std::string& tag) const;
    // Messages under one tag, in order.
    std::vector<std::string> messages(const std::string& tag = "LyrDebugService") const;
    bool contains(int prio, const std::string& message,
                  const std::string& tag = "LyrDebugService") const;
    // Waits up to timeoutMs for a record with this message to appear.
    bool waitFor(const std::string& message, int timeoutMs = 20000,
                 const std::string& tag = "LyrDebugService") const;
    void clear();

  private:
    mutable std::mutex mLock;
    std::vector<LogRecord> mRecords;
};

}  // namespace lyrd_test
