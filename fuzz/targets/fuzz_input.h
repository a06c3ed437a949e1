// Splits a fuzzer's byte string into the typed arguments of a call. Reading
// past the end yields zeros, so every input is usable.
#ifndef ZOVESK_FUZZ_FUZZ_INPUT_H
#define ZOVESK_FUZZ_FUZZ_INPUT_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace zovesk_fuzz {

class FuzzInput {
  public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    // Four bytes, the first in the top byte, so a fourcc's characters read
    // as written ("NV12" is 0x4E563132).
    uint32_t u32() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            value = (value << 8) | byte();
        }
        return value;
    }
    bool flag() { return (byte() & 1) != 0; }
    uint8_t byte() { return offset_ < size_ ? data_[offset_++] : 0; }
    // The bytes not consumed yet.
    std::string rest() {
        std::string text(reinterpret_cast<const char*>(data_ + offset_), size_ - offset_);
        offset_ = size_;
        return text;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t offset_ = 0;
};

}  // namespace zovesk_fuzz

#endif
