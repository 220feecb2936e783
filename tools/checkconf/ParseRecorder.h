// The checker's reporter: writes what the parser tells into a ParseRecord,
// keeping the daemon's warning and error messages with the line they
// concern.
#pragma once

#include <string>

#include "ParseRecord.h"
#include "config/ConfigReporter.h"

namespace checkconf {

class ParseRecorder : public ornak::xel::ConfigReporter {
  public:
    explicit ParseRecorder(ParseRecord& record) : mRecord(record) {}

    // What follows belongs to the file read next, at path.
    void startFile(const std::string& path);

    void log(int priority, const char* format, va_list args) override;
    void lineStarted(const ornak::xel::ConfigLine& line) override;
    void lineEnded(bool applied) override;
    void problem(const ornak::xel::ConfigProblem& problem) override;
    void keyApplied(const ornak::xel::AppliedKey& key) override;
    void copied(const ornak::xel::RecordCopy& copy) override;

  private:
    Position here() const;

    ParseRecord& mRecord;
    bool mInLine = false;
};

}  // namespace checkconf
