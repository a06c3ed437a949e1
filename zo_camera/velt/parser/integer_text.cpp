// Integer attribute values: plain numbers of up to 18 digits, which cannot
// overflow, are converted here; anything else is left to strtol.

#include "zo_camera/velt/parser/integer_text.h"

#include <cstdint>
#include <cstdlib>

namespace VELT {
namespace parser {

int parseInteger(const char* text) {
    constexpr int kSafeDigits = 18;
    const char* digit = text[0] == '-' ? text + 1 : text;
    uint64_t magnitude = 0;
    int count = 0;
    for (; count < kSafeDigits && *digit >= '0' && *digit <= '9'; ++digit, ++count) {
        magnitude = magnitude * 10 + static_cast<uint64_t>(*digit - '0');
    }
    long parsed = 0;
    if (count > 0 && !(*digit >= '0' && *digit <= '9')) {
        parsed = static_cast<long>(magnitude);
        if (text[0] == '-') {
            parsed = -parsed;
        }
    } else {
        parsed = std::strtol(text, nullptr, 10);
    }
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<unsigned long>(parsed)));
}

}  // namespace parser
}  // namespace VELT
