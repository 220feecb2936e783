// The command line of lyrdctl:
//   lyrdctl send NAME
//   lyrdctl transact --code N [--token TEXT | --no-token] [--name TEXT] [--oneway]
//   lyrdctl uevent [--header TEXT] [--] RECORD...
//   lyrdctl uevent --empty
//   lyrdctl dump [ARG...]
#pragma once

#include <stdint.h>

#include <optional>
#include <string>
#include <vector>

namespace lyrdctl {

constexpr const char* kDescriptor = "ornak.xel.lyrd";
constexpr const char* kDefaultUeventHeader = "change@/devices/virtual/misc/lyrd";

struct SendCommand {
    std::string name;
};

struct TransactCommand {
    uint32_t code = 0;
    // No value: the data parcel carries no interface token.
    std::optional<std::string> token = std::string(kDescriptor);
    std::optional<std::string> name;
    bool oneway = false;
};

struct UeventCommand {
    bool empty = false;  // one datagram of zero bytes
    std::string header = kDefaultUeventHeader;
    std::vector<std::string> records;
};

// The words after "dump", passed on as they are.
struct DumpCommand {
    std::vector<std::string> args;
};

struct Command {
    enum class Kind { kHelp, kSend, kTransact, kUevent, kDump };
    Kind kind = Kind::kHelp;
    SendCommand send;
    TransactCommand transact;
    UeventCommand uevent;
    DumpCommand dump;
};

// Parses the words after the program name. On a usage error returns false
// and says what is wrong in *error.
bool parseCommand(const std::vector<std::string>& args, Command* command, std::string* error);

// A transaction code: decimal or 0x-hexadecimal, from INT32_MIN to UINT32_MAX.
bool parseCode(const std::string& text, uint32_t* code);

const char* usageText();

}  // namespace lyrdctl
