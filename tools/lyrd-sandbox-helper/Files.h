// Small whole-file reads and writes for the sandbox's state files and the
// kernel's /proc files.
#pragma once

#include <string>

namespace sandbox {

// The file's content; empty when it cannot be read.
std::string readText(const std::string& path);
// Replaces the file's content with text (mode 0644 when it is created).
bool writeText(const std::string& path, const std::string& text);
// Where the symbolic link points; empty when it cannot be read.
std::string readLink(const std::string& path);
// The absolute path with every symbolic link resolved; empty when the file
// does not exist.
std::string realPath(const std::string& path);

}  // namespace sandbox
