// A named set of event copies, used to give a monitor several events at once.
#pragma once

#include "config/Configuration.h"
#include "config/Event.h"

namespace ornak {
namespace xel {

class Configuration::EventGroup {
  public:
    Vector<Event> mEvents;
    String8 mName;
};

}  // namespace xel
}  // namespace ornak
