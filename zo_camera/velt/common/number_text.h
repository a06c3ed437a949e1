// Every rule by which the library reads a number written as text, in one
// place. Documents are written by hand and by tools, and each place that
// reads a number has a reason to be strict or lenient; the reason is given
// with each rule, so a new reader picks one of these instead of writing a
// fifth. Header-only, so the command-line tools apply the very same rules.
#ifndef ZO_CAMERA_VELT_COMMON_NUMBER_TEXT_H
#define ZO_CAMERA_VELT_COMMON_NUMBER_TEXT_H

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace VELT {
namespace numbers {

// The document reader's rule for integer attributes: strtol in base 10
// (leading blanks, a sign, digits up to the first other character, 0 without
// digits), truncated to 32 bits. Lenient because stored documents rely on it:
// whatever a document holds becomes some integer, never a refusal. Plain
// numbers of up to 18 digits, which cannot overflow, skip strtol: this runs
// for every integer attribute of every document.
inline int32_t truncatedInt32(const char* text) {
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

// A decimal prefix that fits 32 bits: leading blanks and a sign allowed, the
// conversion stops at the first non-digit. For values written over a graph
// (overrides): text without digits, or beyond 32 bits, is refused rather
// than guessed at, since a wrong value there silently reconfigures a stream.
inline bool prefixInt32(const std::string& text, int32_t& value) {
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(begin, &end, 10);
    if (end == begin || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) {
        return false;
    }
    value = static_cast<int32_t>(parsed);
    return true;
}

// The whole text is one decimal integer of 32 bits, nothing before or after.
// For attributes that are integers by meaning but may arrive as text (a
// tuning mode): anything else is not a number at all.
inline bool wholeInt32(const std::string& text, int32_t& value) {
    if (text.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) {
        return false;
    }
    value = static_cast<int32_t>(parsed);
    return true;
}

// Decimal digits only, optionally surrounded by blanks or tabs, that fit an
// unsigned 32-bit value. For the pieces of a list (kernel metadata), where a
// sign or a stray letter means the list is broken.
inline bool paddedUint32(const std::string& piece, uint32_t& value) {
    const size_t first = piece.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return false;
    }
    const size_t last = piece.find_last_not_of(" \t");
    if (last - first + 1 > 10) {
        return false;  // more digits than any 32-bit value has, leading zeros included
    }
    uint64_t parsed = 0;
    for (size_t i = first; i <= last; ++i) {
        const char c = piece[i];
        if (c < '0' || c > '9') {
            return false;
        }
        parsed = parsed * 10 + static_cast<uint64_t>(c - '0');
    }
    if (parsed > UINT32_MAX) {
        return false;
    }
    value = static_cast<uint32_t>(parsed);
    return true;
}

// Decimal digits (the caller has checked they are digits) as an unsigned
// 64-bit value; false on overflow and for the largest value itself, which is
// what an overflowing strtoull would have yielded, so no reader can confuse
// the two. For long numbers turned into byte arrays.
inline bool digitsUint64(const std::string& digits, uint64_t& value) {
    value = 0;
    for (const char c : digits) {
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (value > (UINT64_MAX - digit) / 10) {
            return false;
        }
        value = value * 10 + digit;
    }
    return value != UINT64_MAX;
}

// std::stoi: a prefix as strtol reads it, but std::invalid_argument without
// digits and std::out_of_range beyond int. For setValueFromStr, whose callers
// are promised exactly these exceptions: the one error the library lets
// reach its caller.
inline int integerOrThrow(const std::string& text) {
    return std::stoi(text);
}

// An optional sign and decimal digits, the whole text, within 32 bits; no
// blanks. For a checker that must tell a document author that a value is not
// a number, where the reader itself would silently take a prefix.
inline bool strictInt32(const std::string& text) {
    size_t digits = text.empty() || (text[0] != '-' && text[0] != '+') ? 0 : 1;
    if (digits == text.size()) {
        return false;
    }
    for (size_t i = digits; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
    }
    errno = 0;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return errno == 0 && value >= INT32_MIN && value <= INT32_MAX;
}

}  // namespace numbers
}  // namespace VELT

#endif
