// Reads the fuzzer's bytes as the small numbers a target needs, then hands
// over the rest. Running out gives zeros.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint16_t Word() { return static_cast<uint16_t>(Byte() | Byte() << 8); }
    // A number from lo to hi.
    int Range(int lo, int hi) { return lo + Word() % (hi - lo + 1); }
    std::span<const uint8_t> Rest() { return {data_ + pos_, size_ - pos_}; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};
