#pragma once
// GuardedArray: a caller-style array of doubles whose last element ends
// exactly where an inaccessible page begins, so reading or writing one
// element past the stated length faults at once, with or without a
// sanitizer. Under AddressSanitizer the bytes in front of the first element
// are poisoned as well, so running off the front is reported too. A
// zero-length array points straight at the inaccessible page.

#include <cstddef>

class GuardedArray {
public:
    explicit GuardedArray(std::size_t count);
    ~GuardedArray();
    GuardedArray(const GuardedArray&) = delete;
    GuardedArray& operator=(const GuardedArray&) = delete;

    double* data() { return first_; }
    const double* data() const { return first_; }
    std::size_t size() const { return count_; }
    double& operator[](std::size_t i) { return first_[i]; }
    const double& operator[](std::size_t i) const { return first_[i]; }

private:
    char* mapping_;
    std::size_t accessibleSize_;
    double* first_;
    std::size_t count_;
};
