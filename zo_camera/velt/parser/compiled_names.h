// Keys, integer values and stored texts of a compiled document's strings,
// each worked out once per document. A name the dictionary lacks is looked
// up once: while a document is read the dictionary grows only by the names
// this reading generates, which pass through here, so the answer holds
// until this table generates the name itself. Every such generation counts
// towards epoch(), so that answers built on a missing name can tell when
// they may have changed.
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
        return (flags_[index] & (kKeyKnown | kAbsent)) != 0 ? keys_[index] : lookUp(index);
    }
    // True when string index was looked up and the dictionary lacks it.
    bool absent(uint32_t index) const { return (flags_[index] & kAbsent) != 0; }
    // The key of string index, generated when new.
    uint32_t keyOrNewKey(uint32_t index) {
        return (flags_[index] & kKeyKnown) != 0 ? keys_[index] : generate(index);
    }
    // String index as an integer attribute value.
    int32_t integer(uint32_t index) {
        return (flags_[index] & kIntegerKnown) != 0 ? integers_[index] : convert(index);
    }
    // How many names were generated (or found, first asked to be generated)
    // so far: a lookup that found nothing is still right while this stays.
    uint32_t epoch() const { return epoch_; }

  private:
    static constexpr uint8_t kKeyKnown = 1;
    static constexpr uint8_t kIntegerKnown = 2;
    static constexpr uint8_t kAbsent = 4;

    uint32_t lookUp(uint32_t index);
    uint32_t generate(uint32_t index);
    int32_t convert(uint32_t index);

    const CompiledView& view_;
    std::vector<uint8_t> flags_;
    std::vector<uint32_t> keys_;
    std::vector<int32_t> integers_;
    uint32_t epoch_ = 0;
};

}  // namespace parser
}  // namespace VELT

#endif
