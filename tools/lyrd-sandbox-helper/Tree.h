// The device-like tree the daemon runs in:
//   /system/bin    lyrd, lyrdctl, log and logcat (those found in the bin
//                  folder), each bound from the host's file
//   /system/vendor/etc/lyrdebug.conf   a copy of the configuration
//   /data          tmpfs of the given size
//   /dev           private tmpfs: null zero full random urandom kmsg (the
//                  host's), log/main log/system log/events log/radio (empty,
//                  mode 0666), hostbinder/ (the binder service sockets)
//   /proc          proc (there is no pid namespace: pids are the host's)
//   /tmp           private tmpfs
//   /usr /bin /sbin /lib* /etc   the host's, read-only (symbolic links stay
//                  links)
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace sandbox {

struct TreeContents {
    std::string root;      // the folder the tree is mounted on
    std::string bin;       // where the programs are
    std::string dataSize;  // of the /data tmpfs, as tmpfs takes it
    std::string config;    // the configuration file; empty for none
    std::vector<std::pair<std::string, std::string>> files;  // (host path, path inside)
};

// Whether text is a size tmpfs takes: digits and at most one of k, m, g or
// %. The size goes into the mount options, so nothing else may pass.
bool isDataSize(const std::string& text);

// Builds the tree. Runs in the sandbox's own mount namespace, where the
// mounts stay; the host never sees them.
bool buildTree(const TreeContents& tree, std::string* error);

}  // namespace sandbox
