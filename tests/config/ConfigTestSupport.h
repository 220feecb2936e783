// A service built on an empty configuration, ready to parse the tests' own
// files, with the shell replaced by a recorder.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/Event.h"
#include "config/EventGroup.h"
#include "config/Handler.h"
#include "config/Monitor.h"
#include "service/LyrDebugService.h"
#include "tests/common/LogCapture.h"
#include "tests/common/TempDir.h"

namespace ornak {
namespace xel {

// Keeps every shell line instead of running it and answers with result.
class RecordingShell : public SystemCalls {
  public:
    int runShell(const char* line) override {
        lines.push_back(line);
        return result;
    }
    std::vector<std::string> lines;
    int result = 0;
};

class ConfigTest : public ::testing::Test {
  protected:
    ConfigTest() { log.clear(); }

    // Writes text to a fresh file and parses it into the service.
    status_t parse(const std::string& text) {
        std::string path = dir.write("conf" + std::to_string(++mFiles), text);
        return service->parseConfigFile(path.c_str());
    }
    std::vector<std::string> uevents(const LyrDebugService::Event& event) const {
        std::vector<std::string> out;
        for (const String8& hint : event.mUevents) out.push_back(hint.string());
        return out;
    }

    lyrd_test::LogCapture log;
    lyrd_test::TempDir dir;
    RecordingShell shell;
    std::string emptyConfig = dir.write("empty.conf", "");
    sp<LyrDebugService> service = new LyrDebugService(emptyConfig.c_str(), shell);

  private:
    int mFiles = 0;
};

}  // namespace xel
}  // namespace ornak
