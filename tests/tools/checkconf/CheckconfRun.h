// Runs lyrd-checkconf in process on configuration texts written to a
// temporary folder, and gives back its exit status and output lines with
// the folder taken out of every path.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "Checkconf.h"
#include "tests/common/TempDir.h"

namespace checkconf {

using Lines = std::vector<std::string>;

struct Outcome {
    int status;
    Lines out;  // the count line included
    std::string err;
};

inline Lines splitLines(const std::string& text) {
    Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

inline std::string withoutFolder(std::string text, const std::string& folder) {
    for (size_t at; (at = text.find(folder + "/")) != std::string::npos;) {
        text.erase(at, folder.size() + 1);
    }
    return text;
}

class CheckconfRun {
  public:
    // Writes config to c.conf and checks it with the options in front.
    Outcome check(const std::string& config, Lines options = {}) {
        options.push_back(mDir.write("c.conf", config));
        return run(options);
    }
    Outcome run(const Lines& args) {
        std::ostringstream out, err;
        int status = checkconf::run(args, out, err);
        return Outcome{status, splitLines(withoutFolder(out.str(), mDir.path())),
                       withoutFolder(err.str(), mDir.path())};
    }
    const lyrd_test::TempDir& dir() const { return mDir; }

  private:
    lyrd_test::TempDir mDir;
};

}  // namespace checkconf
