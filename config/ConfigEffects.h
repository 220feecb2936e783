// What reading a configuration does outside the configuration itself. The
// daemon makes the dump folder when it reads log_dump_path and looks whether
// the additional file can be opened; an offline checker makes nothing and
// decides for itself which additional file it reads.
#pragma once

namespace ornak {
namespace xel {

class ConfigEffects {
  public:
    virtual ~ConfigEffects() = default;

    // Makes the dump folder path and its parents. The result of system():
    // negative only when the shell could not be run.
    virtual int makeDumpFolder(const char* path) = 0;
    // Whether the additional file path can be opened for reading.
    virtual bool canOpen(const char* path) = 0;
};

}  // namespace xel
}  // namespace ornak
