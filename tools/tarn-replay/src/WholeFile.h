// A file that appears whole or not at all: written beside the target under
// a name of its own (the target's, ".part-" and the process's number), and
// renamed to the target once complete. Created at
// once, so that a file that cannot be written is refused before the work
// that fills it; removed when destroyed uncommitted (a replay that stopped
// half way leaves nothing under the name).
#pragma once

#include <fstream>
#include <string>

namespace replay {

class WholeFile {
public:
    // Throws ReplayError (Unwritable) with the system's reason when the
    // file cannot be created beside `path`.
    explicit WholeFile(std::string path);
    ~WholeFile();
    WholeFile(const WholeFile&) = delete;
    WholeFile& operator=(const WholeFile&) = delete;

    std::ostream& stream() { return file_; }
    // Closes the file and gives it its name; throws ReplayError
    // (Unwritable) when it could not be written whole.
    void commit();

private:
    std::string path_, aside_;
    std::ofstream file_;
    bool committed_ = false;
};

}  // namespace replay
