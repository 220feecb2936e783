#include "Files.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <memory>

#include <utils/UniqueFd.h>

namespace sandbox {

using android::UniqueFd;

std::string readText(const std::string& path) {
    UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    std::string text;
    if (!fd.ok()) return text;
    char buffer[4096];
    ssize_t got;
    while ((got = read(fd.get(), buffer, sizeof(buffer))) > 0) text.append(buffer, got);
    return text;
}

bool writeText(const std::string& path, const std::string& text) {
    UniqueFd fd(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!fd.ok()) return false;
    size_t done = 0;
    while (done < text.size()) {
        ssize_t wrote = write(fd.get(), text.data() + done, text.size() - done);
        if (wrote <= 0) return false;
        done += static_cast<size_t>(wrote);
    }
    return true;
}

std::string readLink(const std::string& path) {
    char target[PATH_MAX];
    ssize_t length = readlink(path.c_str(), target, sizeof(target));
    return length > 0 ? std::string(target, length) : std::string();
}

std::string realPath(const std::string& path) {
    std::unique_ptr<char, void (*)(void*)> resolved(realpath(path.c_str(), nullptr), free);
    return resolved != nullptr ? std::string(resolved.get()) : std::string();
}

}  // namespace sandbox
