#include "SandboxDir.h"

#include <unistd.h>

#include "Files.h"
#include "Namespaces.h"
#include "Processes.h"

namespace sandbox {

pid_t parsePid(const std::string& text) {
    std::string digits = text;
    if (!digits.empty() && digits.back() == '\n') digits.pop_back();
    if (digits.empty() || digits.size() > 9 ||
        digits.find_first_not_of("0123456789") != std::string::npos) {
        return 0;
    }
    return static_cast<pid_t>(std::stoi(digits));
}

std::string SandboxDir::savedNamespace() const {
    std::string ns = readText(file("sandbox.ns"));
    if (!ns.empty() && ns.back() == '\n') ns.pop_back();
    return ns == mountNamespaceOf("self") ? std::string() : ns;
}

Anchor SandboxDir::anchor() const {
    const std::string ns = savedNamespace();
    if (ns.empty()) return {};
    for (const char* name : {"sandbox.pid", "lyrd.pid"}) {
        pid_t pid = parsePid(readText(file(name)));
        if (pid <= 0) continue;
        Anchor anchor{openPidfd(pid), pid};
        // Checked once the pidfd is open, so that the pidfd names the
        // process whose namespace matched. A zombie has no namespace left.
        if (anchor.ok() && mountNamespaceOf(std::to_string(pid)) == ns) return anchor;
    }
    return {};
}

void SandboxDir::forget() const {
    for (const char* name : {"sandbox.pid", "sandbox.ns", "lyrd.pid", "sandbox.helper"}) {
        unlink(file(name).c_str());
    }
}

}  // namespace sandbox
