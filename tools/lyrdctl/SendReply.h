// What the non-zero replies to lyrdctl send mean, for the line it adds on
// standard error: a bare number tells a newcomer nothing.
#pragma once

#include <stdint.h>

#include <string>

namespace lyrdctl {

// One line, without its line feed, saying what reply (not 0) means.
std::string explainSendReply(int32_t reply);

}  // namespace lyrdctl
