// Copies from the host into the tree.
#pragma once

#include <sys/types.h>

#include <string>

namespace sandbox {

// Copies the host file source to the absolute path dest inside the tree at
// root, with mode (source's own when 0), making dest's missing parent
// folders. The copy runs in a child that has made root its root, so that no
// symbolic link in the tree can lead it out.
bool copyIntoTree(const std::string& root, const std::string& source, const std::string& dest,
                  mode_t mode, std::string* error);

}  // namespace sandbox
