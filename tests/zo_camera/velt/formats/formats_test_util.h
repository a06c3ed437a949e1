// Shared helpers of the format tests.

#ifndef ZOVESK_TESTS_FORMATS_TEST_UTIL_H
#define ZOVESK_TESTS_FORMATS_TEST_UTIL_H

#include <cstdint>
#include <string>

namespace formats_test {

// The code of four characters, the first one in the top byte.
inline uint32_t fourcc(const std::string& text) {
    return (static_cast<uint32_t>(static_cast<unsigned char>(text.at(0))) << 24) |
           (static_cast<uint32_t>(static_cast<unsigned char>(text.at(1))) << 16) |
           (static_cast<uint32_t>(static_cast<unsigned char>(text.at(2))) << 8) |
           static_cast<uint32_t>(static_cast<unsigned char>(text.at(3)));
}

}  // namespace formats_test

#endif
