#include "WholeFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>

#include "ExitCode.h"

#ifdef _WIN32
#include <process.h>
#define TARN_GETPID _getpid
#else
#include <unistd.h>
#define TARN_GETPID getpid
#endif

namespace replay {

namespace {

// The process's number: tells apart the pages two replays write at once.
long processId() { return static_cast<long>(TARN_GETPID()); }

}  // namespace

WholeFile::WholeFile(std::string path)
    : path_(std::move(path)), aside_(path_ + ".part-" + std::to_string(processId()))
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
    // std::filesystem::rename replaces a file of that name, on Windows too.
    std::error_code error;
    std::filesystem::rename(aside_, path_, error);
    if (error) throw ReplayError(ExitCode::Unwritable, path_ + ": cannot write the file: " + error.message());
    committed_ = true;
}

}  // namespace replay
