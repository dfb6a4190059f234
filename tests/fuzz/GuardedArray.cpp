#include "GuardedArray.h"

#include <sanitizer/asan_interface.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <new>
#include <vector>

namespace {

// An accessible region followed by one inaccessible page.
struct Mapping {
    char* start;
    std::size_t accessibleSize;
};

std::size_t pageSize()
{
    static const std::size_t size = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return size;
}

// Mappings of arrays that are gone, kept for the next arrays of the same
// page count: a fuzz run creates thousands of arrays per second, and
// mapping and unmapping pages for each would dominate its time.
std::vector<Mapping>& unusedMappings()
{
    static std::vector<Mapping> mappings;
    return mappings;
}

Mapping acquireMapping(std::size_t accessibleSize)
{
    std::vector<Mapping>& unused = unusedMappings();
    for (std::size_t k = 0; k < unused.size(); ++k) {
        if (unused[k].accessibleSize != accessibleSize) continue;
        const Mapping mapping = unused[k];
        unused[k] = unused.back();
        unused.pop_back();
        return mapping;
    }
    void* start = mmap(nullptr, accessibleSize + pageSize(), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (start == MAP_FAILED) throw std::bad_alloc();
    const Mapping mapping{static_cast<char*>(start), accessibleSize};
    if (mprotect(mapping.start + accessibleSize, pageSize(), PROT_NONE) != 0) std::abort();
    return mapping;
}

}  // namespace

GuardedArray::GuardedArray(std::size_t count) : count_(count)
{
    const std::size_t bytes = count * sizeof(double);
    accessibleSize_ = (bytes + pageSize() - 1) / pageSize() * pageSize();
    mapping_ = acquireMapping(accessibleSize_).start;
    first_ = reinterpret_cast<double*>(mapping_ + accessibleSize_ - bytes);
    ASAN_POISON_MEMORY_REGION(mapping_, accessibleSize_ - bytes);
}

GuardedArray::~GuardedArray()
{
    ASAN_UNPOISON_MEMORY_REGION(mapping_, accessibleSize_);
    unusedMappings().push_back(Mapping{mapping_, accessibleSize_});
}
