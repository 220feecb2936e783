#include "Arguments.h"

#include <errno.h>
#include <stdlib.h>

namespace lyrdctl {
namespace {

bool parseSend(const std::vector<std::string>& args, SendCommand* send, std::string* error) {
    if (args.size() != 2) {
        *error = "send takes exactly one event name";
        return false;
    }
    send->name = args[1];
    return true;
}

bool parseTransact(const std::vector<std::string>& args, TransactCommand* transact,
                   std::string* error) {
    bool haveCode = false;
    bool haveToken = false;
    bool noToken = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& option = args[i];
        const bool takesValue = option == "--code" || option == "--token" || option == "--name";
        if (takesValue && i + 1 == args.size()) {
            *error = option + " needs a value";
            return false;
        }
        if (option == "--code") {
            if (!parseCode(args[++i], &transact->code)) {
                *error = "bad transaction code: " + args[i];
                return false;
            }
            haveCode = true;
        } else if (option == "--token") {
            transact->token = args[++i];
            haveToken = true;
        } else if (option == "--no-token") {
            transact->token.reset();
            noToken = true;
        } else if (option == "--name") {
            transact->name = args[++i];
        } else if (option == "--oneway") {
            transact->oneway = true;
        } else {
            *error = "unknown transact argument: " + option;
            return false;
        }
    }
    if (!haveCode) {
        *error = "transact needs --code";
        return false;
    }
    if (haveToken && noToken) {
        *error = "--token and --no-token exclude each other";
        return false;
    }
    return true;
}

bool parseUevent(const std::vector<std::string>& args, UeventCommand* uevent, std::string* error) {
    bool haveHeader = false;
    size_t i = 1;
    for (; i < args.size() && args[i].compare(0, 2, "--") == 0; ++i) {
        if (args[i] == "--") {
            ++i;
            break;
        } else if (args[i] == "--empty") {
            uevent->empty = true;
        } else if (args[i] == "--header" && i + 1 < args.size()) {
            uevent->header = args[++i];
            haveHeader = true;
        } else {
            *error = args[i] == "--header" ? "--header needs a value"
                                           : "unknown uevent argument: " + args[i];
            return false;
        }
    }
    uevent->records.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    if (uevent->empty && (haveHeader || !uevent->records.empty())) {
        *error = "--empty takes no header and no records";
        return false;
    }
    if (!uevent->empty && uevent->records.empty()) {
        *error = "uevent needs at least one record, or --empty";
        return false;
    }
    return true;
}

}  // namespace

bool parseCode(const std::string& text, uint32_t* code) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long long value = strtoll(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || value < INT32_MIN ||
        value > static_cast<long long>(UINT32_MAX)) {
        return false;
    }
    *code = static_cast<uint32_t>(value);
    return true;
}

bool parseCommand(const std::vector<std::string>& args, Command* command, std::string* error) {
    *command = Command();
    if (args.empty()) {
        *error = "a command is needed";
        return false;
    }
    const std::string& verb = args[0];
    if (verb == "help" || verb == "--help" || verb == "-h") {
        command->kind = Command::Kind::kHelp;
        return true;
    }
    if (verb == "send") {
        command->kind = Command::Kind::kSend;
        return parseSend(args, &command->send, error);
    }
    if (verb == "transact") {
        command->kind = Command::Kind::kTransact;
        return parseTransact(args, &command->transact, error);
    }
    if (verb == "uevent") {
        command->kind = Command::Kind::kUevent;
        return parseUevent(args, &command->uevent, error);
    }
    if (verb == "dump") {
        command->kind = Command::Kind::kDump;
        command->dump.args.assign(args.begin() + 1, args.end());
        return true;
    }
    *error = "unknown command: " + verb;
    return false;
}

const char* usageText() {
    return "usage: lyrdctl send NAME\n"
           "       lyrdctl transact --code N [--token TEXT | --no-token] [--name TEXT] [--oneway]\n"
           "       lyrdctl uevent [--header TEXT] [--] RECORD...\n"
           "       lyrdctl uevent --empty\n"
           "       lyrdctl dump [ARG...]\n"
           "\n"
           "send      sends the event NAME to the lyrd service and prints its answer; an answer\n"
           "          other than 0 is explained on standard error\n"
           "transact  sends a raw transaction to the lyrd service (default token "
           "\"ornak.xel.lyrd\")\n"
           "          and prints status=S and, when the reply holds one, reply=R\n"
           "uevent    sends one NETLINK_KOBJECT_UEVENT datagram to multicast group 1: the header\n"
           "          (default \"change@/devices/virtual/misc/lyrd\") and each RECORD, each\n"
           "          followed by a NUL byte; --empty sends zero bytes\n"
           "dump      has the lyrd service write its state report to standard output; each ARG\n"
           "          is passed to the service as it is\n";
}

}  // namespace lyrdctl
