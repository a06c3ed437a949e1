// Working out a compiled string's key or integer value the first time it is
// needed.

#include "zo_camera/velt/parser/compiled_names.h"

#include <string>

#include "velt_item_uid.h"
#include "velt_keys.h"
#include "zo_camera/velt/common/number_text.h"
#include "zo_camera/velt/parser/parser_names.h"

namespace VELT {
namespace parser {

CompiledNames::CompiledNames(const CompiledView& view)
    : view_(view),
      flags_(view.stringCount(), 0),
      keys_(view.stringCount(), 0),
      integers_(view.stringCount(), 0) {}

uint32_t CompiledNames::lookUp(uint32_t index) {
    const std::string text(view_.string(index), view_.stringLength(index));
    const uint32_t key = ItemUID::str2key(text);
    keys_[index] = key;
    // 0 is "na"'s own key, or the answer that the name is absent.
    flags_[index] |= key != kKeyNa || text == "na" ? kKeyKnown : kAbsent;
    return key;
}

uint32_t CompiledNames::generate(uint32_t index) {
    const std::string text(view_.string(index), view_.stringLength(index));
    keys_[index] = parser::keyOrNewKey(text);
    flags_[index] = static_cast<uint8_t>((flags_[index] & ~kAbsent) | kKeyKnown);
    ++epoch_;
    return keys_[index];
}

int32_t CompiledNames::convert(uint32_t index) {
    integers_[index] = numbers::truncatedInt32(view_.string(index));
    flags_[index] |= kIntegerKnown;
    return integers_[index];
}

}  // namespace parser
}  // namespace VELT
