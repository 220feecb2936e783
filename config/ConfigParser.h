// Reads one configuration file, line by line, into a Configuration. What it
// does outside the configuration (the dump folder, the look at the
// additional file) goes through its effects; every message and everything it
// notices goes to its reporter. The daemon stops at the first line that
// cannot be applied; a checker skips such a line and reads on.
#pragma once

#include <utils/Errors.h>

#include "config/ConfigEffects.h"
#include "config/ConfigIndex.h"
#include "config/ConfigReporter.h"
#include "config/Configuration.h"

namespace ornak {
namespace xel {

class ConfigParser {
  public:
    enum class OnFailure { kStop, kSkipLine };

    // Everything given must outlive the parser.
    ConfigParser(Configuration& config, ConfigEffects& effects, ConfigReporter& reporter,
                 OnFailure onFailure = OnFailure::kStop);
    ConfigParser(const ConfigParser&) = delete;
    ConfigParser& operator=(const ConfigParser&) = delete;

    // Parses the file at path into the configuration, adding to what is
    // there. NO_ERROR when every used line applied; BAD_VALUE when a line
    // did not (at that line, or after the last line when skipping) or the
    // file could not be read to its end; UNKNOWN_ERROR when it cannot be
    // opened. Whatever a failing line applied before it failed stays.
    status_t parseFile(const char* path);

  private:
    status_t parseLine(const char* line);

    Configuration& mConfig;
    ConfigEffects& mEffects;
    ConfigReporter& mReporter;
    OnFailure mOnFailure;
    // Name indexes of the record lists, for one file: the lists may change
    // between files in ways the indexes cannot follow.
    ConfigIndex mConfigIndex;
};

}  // namespace xel
}  // namespace ornak
