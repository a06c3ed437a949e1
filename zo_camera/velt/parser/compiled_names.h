// Keys and integer values of a compiled document's strings, each worked out
// once per document. A key is remembered only once the dictionary holds the
// string (as the reader's name cache does for XML): while a document is read
// the dictionary only grows, so a string it lacks may still be given a key by
// a later element.
#ifndef ZO_CAMERA_VELT_PARSER_COMPILED_NAMES_H
#define ZO_CAMERA_VELT_PARSER_COMPILED_NAMES_H

#include <cstdint>
#include <vector>

#include "zo_camera/velt/parser/compiled_format.h"

namespace VELT {
namespace parser {

class CompiledNames {
  public:
    // Throws std::bad_alloc when out of memory.
    explicit CompiledNames(const CompiledView& view);

    // The key of string index, 0 when the dictionary lacks it.
    uint32_t key(uint32_t index) {
        return (flags_[index] & kKeyKnown) != 0 ? keys_[index] : lookUp(index);
    }
    // The key of string index, generated when new.
    uint32_t keyOrNewKey(uint32_t index) {
        return (flags_[index] & kKeyKnown) != 0 ? keys_[index] : generate(index);
    }
    // String index as an integer attribute value.
    int integer(uint32_t index) {
        return (flags_[index] & kIntegerKnown) != 0 ? integers_[index] : convert(index);
    }

  private:
    static constexpr uint8_t kKeyKnown = 1;
    static constexpr uint8_t kIntegerKnown = 2;

    uint32_t lookUp(uint32_t index);
    uint32_t generate(uint32_t index);
    int convert(uint32_t index);

    const CompiledView& view_;
    std::vector<uint8_t> flags_;
    std::vector<uint32_t> keys_;
    std::vector<int32_t> integers_;
};

}  // namespace parser
}  // namespace VELT

#endif
