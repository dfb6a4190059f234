#pragma once
// GuardedArray: a caller-style array of doubles in a heap block of exactly
// its length (a zero-length array is still a distinct block), so touching
// one element past either end is reported by AddressSanitizer in the fuzz
// builds and by valgrind in the replays of the corpus.
#include <cstddef>
#include <memory>

class GuardedArray {
public:
    explicit GuardedArray(std::size_t count) : elements_(new double[count]), count_(count) {}

    double* data() { return elements_.get(); }
    const double* data() const { return elements_.get(); }
    std::size_t size() const { return count_; }
    double& operator[](std::size_t i) { return elements_[i]; }
    const double& operator[](std::size_t i) const { return elements_[i]; }

private:
    std::unique_ptr<double[]> elements_;
    std::size_t count_;
};
