// A fresh temporary folder, removed with everything in it when it goes.
#pragma once

#include <string>

namespace lyrd_test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return mPath; }
    // path()/relative
    std::string file(const std::string& relative) const;
    // Writes content to path()/relative, creating parent folders; returns the full path.
    std::string write(const std::string& relative, const std::string& content) const;

  private:
    std::string mPath;
};

std::string readFile(const std::string& path);

}  // namespace lyrd_test
