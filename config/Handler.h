// A handler: an enable command run once at start-up and a dump command run
// in the dump folder of each dump, each optionally once per parameter.
#pragma once

#include <stdint.h>

#include "config/Configuration.h"

namespace ornak {
namespace xel {

class Configuration::Handler {
  public:
    // The handler's lines of the status report, indented by depth steps.
    String8 statusText(int32_t depth) const;

    String8 mName;
    String8 mEnableCmd;
    String8 mDumpCmd;
    // Takes part only where the level in effect is at least this.
    int32_t mLevel = 100;
    bool mEnabled = false;
    Vector<String8> mEnableParas;
    Vector<String8> mDumpParas;
};

}  // namespace xel
}  // namespace ornak
