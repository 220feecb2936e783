#include "Helper.h"

#include "Arguments.h"
#include "Files.h"
#include "Inside.h"
#include "Start.h"
#include "Stop.h"

namespace sandbox {

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    HelperCommand command;
    if (!parseHelperCommand(args, &command)) {
        err << helperUsageText();
        return 2;
    }
    if (command.kind == HelperCommand::Kind::kStart) {
        return runStart(command.root, std::move(command.start), out, err);
    }
    const std::string path = realPath(command.root);
    if (command.kind == HelperCommand::Kind::kExec) {
        if (!path.empty()) return runExec(SandboxDir(path), command.command, err);
        err << "lyrd-sandbox: no sandbox is running in " << command.root << "\n";
        return 125;
    }
    std::string error;
    if (path.empty() || stopSandbox(SandboxDir(path), &error)) return 0;
    err << "lyrd-sandbox: " << error << "\n";
    return 1;
}

}  // namespace sandbox
