#pragma once
// Counts calls to the global allocation functions (every form of operator
// new) made anywhere in the benchmark process, the shared library included:
// the program replaces them, and the dynamic linker binds the library's
// calls to the program's definitions.
#include <cstddef>

// Allocations since the program started.
std::size_t allocationCount();
