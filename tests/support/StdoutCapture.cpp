#include "support/StdoutCapture.h"

#include <cstdio>
#include <iostream>

#include <stdexcept>

#ifdef _WIN32
#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#define dup _dup
#define dup2 _dup2
#define fileno _fileno
#define close _close
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
// A new temporary file in the user's temporary directory, removed when
// closed. (tmpfile() creates its files in the root of the current drive,
// which ordinary users may not write to and test programs running side by
// side race for.)
std::FILE* temporaryFile()
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        char* name = _tempnam(nullptr, "tarn");
        if (name == nullptr) break;
        const int fd = _open(name, _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY | _O_TEMPORARY, _S_IREAD | _S_IWRITE);
        std::free(name);
        if (fd != -1) return _fdopen(fd, "w+b");
    }
    return nullptr;
}
#else
std::FILE* temporaryFile() { return std::tmpfile(); }
#endif

}  // namespace

std::string captureStdout(const std::function<void()>& body)
{
    std::cout.flush();
    std::fflush(stdout);
    std::FILE* sink = temporaryFile();
    if (sink == nullptr) throw std::runtime_error("captureStdout: no temporary file");
    const int saved = dup(fileno(stdout));
#ifdef _WIN32
    // Keep the text-mode translation a Windows host's console or pipe has.
    _setmode(fileno(sink), _O_TEXT);
#endif
    dup2(fileno(sink), fileno(stdout));
    body();
    std::cout.flush();
    std::fflush(stdout);
    dup2(saved, fileno(stdout));
    close(saved);

    std::string bytes;
    std::rewind(sink);
#ifdef _WIN32
    _setmode(fileno(sink), _O_BINARY);
#endif
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, sink)) > 0) bytes.append(buffer, n);
    std::fclose(sink);
    return bytes;
}
