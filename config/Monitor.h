// A named, switchable detection source with a level; detection and handler
// enabling look only at the events that enabled monitors hold.
#pragma once

#include <stdint.h>

#include "config/Configuration.h"
#include "config/Event.h"

namespace ornak {
namespace xel {

class Configuration::Monitor {
  public:
    String8 mName;
    // A monitor whose configuration gives no level works at level 0.
    int32_t mLevel = 0;
    bool mEnabled = false;
    Vector<Event> mEvents;
};

}  // namespace xel
}  // namespace ornak
