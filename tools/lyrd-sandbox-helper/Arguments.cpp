#include "Arguments.h"

namespace sandbox {
namespace {

using Kind = HelperCommand::Kind;

bool parseMilliseconds(const std::string& text, std::chrono::milliseconds* wait) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    *wait = std::chrono::milliseconds(std::stol(text));
    return true;
}

bool parseStart(const std::vector<std::string>& args, HelperCommand* command) {
    if (args.size() < 6 || args.size() % 2 != 0) return false;
    TreeContents& tree = command->start.tree;
    tree.bin = args[2];
    tree.dataSize = args[3];
    tree.config = args[5];
    for (size_t i = 6; i < args.size(); i += 2) {
        if (args[i + 1].size() < 2 || args[i + 1][0] != '/') return false;
        tree.files.emplace_back(args[i], args[i + 1]);
    }
    return !tree.bin.empty() && isDataSize(tree.dataSize) &&
           parseMilliseconds(args[4], &command->start.wait);
}

}  // namespace

bool parseHelperCommand(const std::vector<std::string>& args, HelperCommand* command) {
    *command = HelperCommand();
    if (args.size() < 2 || args[1].empty()) return false;
    command->root = args[1];
    if (args[0] == "start") {
        command->kind = Kind::kStart;
        return parseStart(args, command);
    }
    if (args[0] == "exec" && args.size() > 2) {
        command->kind = Kind::kExec;
        command->command.assign(args.begin() + 2, args.end());
        return true;
    }
    command->kind = Kind::kStop;
    return args[0] == "stop" && args.size() == 2;
}

const char* helperUsageText() {
    return "usage: lyrd-sandbox-helper start DIR BIN SIZE WAIT_MS CONFIG [SRC DEST]...\n"
           "       lyrd-sandbox-helper exec DIR CMD [ARG...]\n"
           "       lyrd-sandbox-helper stop DIR\n"
           "\n"
           "The namespaces, tree and processes of tools/lyrd-sandbox, which runs this\n"
           "program once it has checked its own command line; see lyrd-sandbox --help.\n";
}

}  // namespace sandbox
