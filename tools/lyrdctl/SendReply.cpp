#include "SendReply.h"

#include <utils/Errors.h>

namespace lyrdctl {
namespace {

struct Meaning {
    android::status_t reply;
    const char* text;
};

// The service's answers other than 0, as its sendEvent gives them.
const Meaning kMeanings[] = {
        {android::INVALID_OPERATION,
         "the service is not started, or its monitor thread has ended (the daemon's log says "
         "which)"},
        {android::TIMED_OUT, "the daemon's queue of events stayed full; the event was dropped"},
        {android::BAD_VALUE, "the name is longer than any event's"},
};

}  // namespace

std::string explainSendReply(int32_t reply) {
    const char* text = "the service did not take the event";
    for (const Meaning& meaning : kMeanings) {
        if (meaning.reply == reply) text = meaning.text;
    }
    return "lyrdctl: " + std::to_string(reply) + ": " + text;
}

}  // namespace lyrdctl
