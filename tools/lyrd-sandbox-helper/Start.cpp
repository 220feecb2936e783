#include "Start.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "Files.h"
#include "Holder.h"
#include "Inside.h"
#include "Namespaces.h"
#include "SandboxDir.h"
#include "StartReport.h"
#include "StartUp.h"
#include "Stop.h"

namespace sandbox {
namespace {

bool isReadableFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), R_OK) == 0;
}

// Checks the files start copies or binds and makes their paths absolute.
bool resolveInputs(TreeContents* tree, std::string* error) {
    for (auto& [source, dest] : tree->files) {
        if (!isReadableFile(source)) {
            *error = "cannot read " + source;
            return false;
        }
        source = realPath(source);
    }
    if (!tree->config.empty()) {
        if (!isReadableFile(tree->config)) {
            *error = "cannot read the configuration file " + tree->config;
            return false;
        }
        tree->config = realPath(tree->config);
    }
    const std::string lyrd = tree->bin + "/lyrd";
    if (!isReadableFile(lyrd) || access(lyrd.c_str(), X_OK) != 0) {
        *error = "no lyrd program in " + tree->bin + " (build it first, or give --bin)";
        return false;
    }
    tree->bin = realPath(tree->bin);
    return true;
}

// The folder, free of any earlier sandbox, with an empty root/ and the
// link to this helper for exec and stop.
bool prepareFolder(const std::string& root, std::string* path, std::string* error) {
    std::error_code ignored;
    std::filesystem::create_directories(root, ignored);
    *path = realPath(root);
    if (path->empty()) {
        *error = "cannot make the folder " + root;
        return false;
    }
    SandboxDir dir(*path);
    if (dir.anchor().ok()) {
        *error = "a sandbox is already running in " + *path + " (stop it first)";
        return false;
    }
    if (!stopSandbox(dir, error)) return false;
    std::filesystem::create_directories(dir.root(), ignored);
    if (symlink(realPath("/proc/self/exe").c_str(), dir.file("sandbox.helper").c_str()) != 0) {
        *error = "cannot write " + dir.file("sandbox.helper");
        return false;
    }
    return true;
}

bool startSandbox(const SandboxDir& dir, NamespaceMode mode, TreeContents tree, Anchor* anchor,
                  std::string* error) {
    tree.root = dir.root();
    pid_t holder = 0;
    if (!startHolder(dir, mode, tree, &holder, error)) return false;
    writeText(dir.file("sandbox.pid"), std::to_string(holder) + "\n");
    writeText(dir.file("sandbox.ns"), mountNamespaceOf(std::to_string(holder)) + "\n");
    *anchor = dir.anchor();
    if (!anchor->ok()) *error = "the sandbox in " + dir.path() + " ended as it started";
    return anchor->ok();
}

int fail(std::ostream& err, const std::string& message) {
    err << "lyrd-sandbox: " << message << "\n";
    return 1;
}

}  // namespace

int runStart(const std::string& root, StartOptions options, std::ostream& out, std::ostream& err) {
    const NamespaceMode mode = probeNamespaces();
    if (mode == NamespaceMode::kNone) {
        err << "lyrd-sandbox: cannot make private namespaces: run as root, or enable "
               "unprivileged user namespaces\n";
        return 2;
    }
    std::string error, path;
    if (!resolveInputs(&options.tree, &error) || !prepareFolder(root, &path, &error)) {
        return fail(err, error);
    }
    const SandboxDir dir(path);
    Anchor anchor;
    if (!startSandbox(dir, mode, options.tree, &anchor, &error)) {
        err << readText(dir.file("sandbox.log"));
        return fail(err, error);
    }
    const pid_t lyrd = startDaemon(dir, anchor, &error);
    std::string ignored;
    if (lyrd < 0) {
        stopSandbox(dir, &ignored);
        return fail(err, error);
    }
    writeText(dir.file("lyrd.pid"), std::to_string(lyrd) + "\n");

    const StartUpResult result = awaitStartUp(dir, anchor, lyrd, options.wait);
    const std::string log = dir.file("lyrd.log");
    const StartReport report = reportStart(readText(log), lyrd, result, log);
    out << report.text << std::flush;
    if (!report.warning.empty()) err << "lyrd-sandbox: " << report.warning << "\n";
    if (result.outcome != StartUpOutcome::kExited) return 0;
    stopSandbox(dir, &ignored);
    return fail(err, "lyrd exited with status " + std::to_string(result.exitStatus) +
                             " during start-up; its log is " + log);
}

}  // namespace sandbox
