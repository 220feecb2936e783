#include "config/Configuration.h"

#include "config/Event.h"
#include "config/EventGroup.h"
#include "config/Handler.h"
#include "config/Monitor.h"

namespace ornak {
namespace xel {

Configuration::Configuration(const char* configPath) : mConfigPath(configPath) {}

Configuration::~Configuration() = default;

}  // namespace xel
}  // namespace ornak
