// Number texts as little-endian byte arrays, e.g. for binary kernel values
// written in graph settings.

#include <algorithm>
#include <cstdint>
#include <string>

#include "velt_graph_camera_util.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/common/number_text.h"
#include "zo_rulo_memory.h"

namespace VELT {
namespace {

bool isDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

// The value of a hexadecimal digit, or -1.
int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

uint8_t* GraphCameraUtil::numString2binary(const std::string& text, unsigned* size) {
    return guardValue<uint8_t*>(__func__, nullptr, [&]() -> uint8_t* {
        if (text.empty() || !isDecimalDigit(text[0])) {
            return nullptr;
        }
        // Leading zeros carry nothing; an "x" after them starts a hexadecimal number.
        size_t first = std::min(text.find_first_not_of('0'), text.size());
        const bool hexadecimal = first < text.size() && (text[first] == 'x' || text[first] == 'X');
        if (hexadecimal) {
            ++first;
        }
        size_t last = first;
        while (last < text.size() &&
               (hexadecimal ? hexDigitValue(text[last]) >= 0 : isDecimalDigit(text[last]))) {
            ++last;
        }
        const std::string digits = text.substr(first, last - first);
        // 27214 / 65536 is a little more than the bytes one decimal digit needs (log 10 / log 256).
        const size_t bytes =
            hexadecimal ? digits.size() / 2 + 1 : ((digits.size() * 27214) >> 16) + 1;

        auto* buffer =
            static_cast<uint8_t*>(zo_rulo_calloc(bytes, 1, "numString2binary", __FILE__, __LINE__));
        if (buffer == nullptr) {
            return nullptr;
        }
        if (hexadecimal) {
            size_t nibble = 0;
            for (auto digit = digits.rbegin(); digit != digits.rend(); ++digit, ++nibble) {
                buffer[nibble / 2] |= static_cast<uint8_t>(
                    static_cast<unsigned>(hexDigitValue(*digit)) << (nibble % 2 * 4));
            }
        } else {
            uint64_t value = 0;
            if (!numbers::digitsUint64(digits, value)) {
                zo_rulo_free(buffer, "numString2binary");
                return nullptr;
            }
            for (size_t i = 0; i < bytes && i < sizeof(value); ++i) {
                buffer[i] = static_cast<uint8_t>(value >> (8 * i));
            }
        }
        // The size is told only with a buffer to go with it.
        if (size != nullptr) {
            *size = static_cast<unsigned>(bytes);
        }
        return buffer;
    });
}

void GraphCameraUtil::releaseBinary(void* buffer) {
    guardVoid(__func__, [&] { zo_rulo_free(buffer, "releaseBinary"); });
}

}  // namespace VELT
