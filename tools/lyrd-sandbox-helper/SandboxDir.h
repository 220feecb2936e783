// The folder of one sandbox (the folder --root names) and the state that
// start leaves there for exec and stop:
//   root/           the tree: a tmpfs inside the sandbox, an empty folder
//                   seen from the host
//   lyrd.log        lyrd's standard error, its log records (kept by stop)
//   lyrd.out        lyrd's standard output
//   lyrd.pid        lyrd's process id
//   sandbox.pid     process id of the holder that keeps the namespaces alive
//   sandbox.ns      the sandbox's mount namespace, which tells a process of
//                   the sandbox from one that reuses its pid
//   sandbox.log     errors met while building the tree
//   sandbox.helper  link to the helper program that started the sandbox,
//                   which exec and stop then use
#pragma once

#include <sys/types.h>

#include <string>

#include <utils/UniqueFd.h>

namespace sandbox {

// A live process of a running sandbox, through which its namespaces are
// joined.
struct Anchor {
    android::UniqueFd pidfd;
    pid_t pid = 0;
    bool ok() const { return pidfd.ok(); }
};

class SandboxDir {
  public:
    // path must be absolute, with symbolic links resolved.
    explicit SandboxDir(std::string path) : mPath(std::move(path)) {}

    const std::string& path() const { return mPath; }
    std::string file(const char* name) const { return mPath + "/" + name; }
    std::string root() const { return file("root"); }

    // The mount namespace saved at start; empty when none is saved or when
    // it is the caller's own, so that nothing of the caller's namespace is
    // ever taken for the sandbox's.
    std::string savedNamespace() const;
    // The holder or, when it is gone, lyrd, provided its pid and mount
    // namespace both match what start saved (either alone may have been
    // reused). Not ok() when the sandbox is not running.
    Anchor anchor() const;
    // Removes what describes a running sandbox; the logs stay.
    void forget() const;

  private:
    std::string mPath;
};

// The decimal pid that text holds (a line feed may follow); 0 otherwise.
pid_t parsePid(const std::string& text);

}  // namespace sandbox
