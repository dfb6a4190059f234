#pragma once
// FuzzInput: reads the fuzzer's bytes as a stream of decisions. Once the
// bytes run out every read returns zero, so any input decodes to a finite
// program.

#include <cstddef>
#include <cstdint>
#include <string>

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool exhausted() const { return offset_ >= size_; }
    std::uint8_t byte();
    bool flag() { return (byte() & 1) != 0; }
    // 0 .. count - 1 (count >= 1).
    int pick(int count) { return static_cast<int>(byte() % static_cast<unsigned>(count)); }
    // Any 32-bit value.
    int anyInt();
    // A small integer in [low, high].
    int between(int low, int high);
    // A matrix dimension: mostly small (zero and negative included),
    // sometimes large enough that two of them multiply beyond 32 bits, or
    // INT_MIN. Two positive dimensions from here multiply to under a million
    // elements or to more than INT_MAX, never to anything between.
    int dimension();
    // A double: ordinary values, signed zeros, NaN, infinities, denormals,
    // the extremes and thresholds the library compares against, or raw bits.
    double number();
    // One of the six rotation orders, or a text that is none of them.
    std::string rotationOrder();

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
};
