#include "Lyrdctl.h"

#include "Arguments.h"
#include "Transaction.h"
#include "Uevent.h"

namespace lyrdctl {

int run(const std::vector<std::string>& args, std::ostream& out, int outFd, std::ostream& err) {
    Command command;
    std::string error;
    if (!parseCommand(args, &command, &error)) {
        err << "lyrdctl: " << error << "\n" << usageText();
        return 2;
    }
    switch (command.kind) {
        case Command::Kind::kHelp:
            out << usageText();
            return 0;
        case Command::Kind::kSend:
            return runSend(command.send, out, err);
        case Command::Kind::kTransact:
            return runTransact(command.transact, out, err);
        case Command::Kind::kUevent:
            return runUevent(command.uevent, err);
        case Command::Kind::kDump:
            // What out holds goes first; the service writes to outFd directly.
            out.flush();
            return runDump(command.dump, outFd, err);
    }
    return 2;
}

}  // namespace lyrdctl
