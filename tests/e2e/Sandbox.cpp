#include "tests/e2e/Sandbox.h"

#include <unistd.h>

#include <fstream>
#include <sstream>
#include <thread>

namespace lyrd_e2e {
namespace {

constexpr std::chrono::milliseconds kPollInterval{20};

std::optional<SandboxLogRecord> parseRecord(const std::string& line) {
    static const std::string kPriorities = "VDIWEF";
    if (line.size() < 2 || line[1] != '/' || kPriorities.find(line[0]) == std::string::npos) {
        return std::nullopt;
    }
    // The tag ends at the first "(digits): "; a tag may hold parentheses itself.
    for (size_t open = line.find('(', 2); open != std::string::npos;
         open = line.find('(', open + 1)) {
        size_t digitsEnd = line.find_first_not_of("0123456789", open + 1);
        if (digitsEnd == open + 1 || digitsEnd == std::string::npos ||
            line.compare(digitsEnd, 3, "): ") != 0) {
            continue;
        }
        return SandboxLogRecord{line[0], line.substr(2, open - 2),
                                std::stoi(line.substr(open + 1, digitsEnd - open - 1)),
                                line.substr(digitsEnd + 3)};
    }
    return std::nullopt;
}

template <typename Condition>
bool pollUntil(std::chrono::milliseconds deadline, Condition condition) {
    auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

std::string describe(const CommandResult& result) {
    return "status " + std::to_string(result.status) + "\nstdout:\n" + result.out + "\nstderr:\n" +
           result.err;
}

}  // namespace

std::vector<SandboxLogRecord> parseSandboxLog(const std::string& text) {
    std::vector<SandboxLogRecord> records;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (auto record = parseRecord(line)) records.push_back(std::move(*record));
    }
    return records;
}

std::string sandboxScript() {
    return std::string(LYRD_SOURCE_DIR) + "/tools/lyrd-sandbox";
}

std::string buildBinDir() {
    return LYRD_BIN_DIR;
}

bool processAlive(int pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    if (pid <= 0 || !std::getline(stat, text)) return false;
    size_t close = text.rfind(") ");
    return close != std::string::npos && close + 2 < text.size() && text[close + 2] != 'Z' &&
           text[close + 2] != 'X';
}

// Probes exactly what the script needs: private mount and network namespaces,
// made as root or inside an unprivileged user namespace.
std::string Sandbox::unavailableReason() {
    static const std::string reason = [] {
        std::vector<std::string> probe = {"unshare", "--mount", "--net", "true"};
        if (geteuid() != 0) probe.insert(probe.begin() + 1, {"--user", "--map-root-user"});
        CommandResult result = runCommand(probe);
        if (result.status == 0) return std::string();
        return std::string(geteuid() == 0 ? "root cannot make namespaces here: "
                                          : "not root and no user namespaces: ") +
               result.err;
    }();
    return reason;
}

Sandbox::Sandbox() : mDir(mTemp.file("sand box")) {}

Sandbox::~Sandbox() {
    if (mStarted) stop();
}

CommandResult Sandbox::startCommand(const std::optional<std::string>& config,
                                    const SandboxOptions& options) {
    std::vector<std::string> argv = {
            sandboxScript(), "start",
            "--root",        mDir,
            "--bin",         options.binDir.empty() ? buildBinDir() : options.binDir,
            "--wait",        options.waitSeconds};
    if (config) argv.insert(argv.end(), {"--config", mTemp.write("lyrdebug.conf", *config)});
    if (!options.dataSize.empty()) argv.insert(argv.end(), {"--data-size", options.dataSize});
    for (const auto& [dest, content] : options.files) {
        std::string src = mTemp.write("files/" + std::to_string(mFileCount++), content);
        argv.insert(argv.end(), {"--file", src + ":" + dest});
    }
    mStarted = true;
    return runCommand(argv);
}

::testing::AssertionResult Sandbox::start(const std::optional<std::string>& config,
                                          const SandboxOptions& options) {
    CommandResult result = startCommand(config, options);
    if (result.status != 0) {
        return ::testing::AssertionFailure()
               << "lyrd-sandbox start failed, " << describe(result) << "\nlyrd.log:\n"
               << logText();
    }
    return ::testing::AssertionSuccess();
}

CommandResult Sandbox::exec(const std::vector<std::string>& args, const std::string& input) const {
    std::vector<std::string> argv = {sandboxScript(), "exec", "--root", mDir, "--"};
    argv.insert(argv.end(), args.begin(), args.end());
    return runCommand(argv, input);
}

CommandResult Sandbox::stop() {
    mStarted = false;
    return runCommand({sandboxScript(), "stop", "--root", mDir});
}

int Sandbox::pid() const {
    std::ifstream in(mDir + "/lyrd.pid");
    int pid = -1;
    return in >> pid ? pid : -1;
}

bool Sandbox::daemonRunning() const {
    return processAlive(pid());
}

std::string Sandbox::logText() const {
    return lyrd_test::readFile(mDir + "/lyrd.log");
}

std::vector<SandboxLogRecord> Sandbox::records() const {
    return parseSandboxLog(logText());
}

std::vector<std::string> Sandbox::messages(const std::string& tag) const {
    std::vector<std::string> out;
    for (const SandboxLogRecord& record : records()) {
        if (record.tag == tag) out.push_back(record.message);
    }
    return out;
}

bool Sandbox::waitForMessage(const std::string& message, std::chrono::milliseconds deadline,
                             const std::string& tag) const {
    return pollUntil(deadline, [&] {
        for (const SandboxLogRecord& record : records()) {
            if (record.tag == tag && record.message == message) return true;
        }
        return false;
    });
}

bool Sandbox::waitForFile(const std::string& path, std::chrono::milliseconds deadline) const {
    return pollUntil(deadline, [&] { return exec({"test", "-e", path}).status == 0; });
}

}  // namespace lyrd_e2e
