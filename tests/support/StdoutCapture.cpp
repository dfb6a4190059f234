#include "support/StdoutCapture.h"

#include <cstdio>
#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#define dup _dup
#define dup2 _dup2
#define fileno _fileno
#define close _close
#else
#include <unistd.h>
#endif

std::string captureStdout(const std::function<void()>& body)
{
    std::cout.flush();
    std::fflush(stdout);
    std::FILE* sink = std::tmpfile();
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

std::string errorLines(std::initializer_list<const char*> lines)
{
    std::string out;
    for (const char* line : lines) out += std::string(line) + kEndOfLine;
    return out;
}
