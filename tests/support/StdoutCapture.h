#pragma once
// Captures the bytes a piece of code writes to the process's standard
// output (file descriptor 1), so tests can compare error lines byte for byte.
#include <functional>
#include <string>

// Runs `body` and returns everything it wrote to standard output.
std::string captureStdout(const std::function<void()>& body);

// The end of line standard output produces on this platform.
#ifdef _WIN32
inline const std::string kEndOfLine = "\r\n";
#else
inline const std::string kEndOfLine = "\n";
#endif
