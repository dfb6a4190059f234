#include "WholeFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "ExitCode.h"

namespace replay {

WholeFile::WholeFile(std::string path) : path_(std::move(path)), aside_(path_ + ".part")
{
    errno = 0;
    file_.open(aside_, std::ios::binary | std::ios::trunc);
    if (!file_) throw ReplayError(ExitCode::Unwritable, path_ + ": cannot create the file: " + std::strerror(errno));
}

WholeFile::~WholeFile()
{
    if (committed_) return;
    file_.close();
    std::remove(aside_.c_str());
}

void WholeFile::commit()
{
    errno = 0;
    file_.close();
    if (!file_) throw ReplayError(ExitCode::Unwritable, path_ + ": write failed: " + std::strerror(errno));
    if (std::rename(aside_.c_str(), path_.c_str()) != 0)
        throw ReplayError(ExitCode::Unwritable, path_ + ": cannot write the file: " + std::strerror(errno));
    committed_ = true;
}

}  // namespace replay
