// Remembered keys of element and attribute names.

#include "zo_camera/velt/parser/name_key_cache.h"

#include "velt_keys.h"
#include "zo_camera/velt/parser/parser_names.h"

namespace VELT {
namespace parser {

void NameKeyCache::clear() {
    elements_.clear();
    attributes_.clear();
}

const NameKeyCache::Name& NameKeyCache::element(const char* written) {
    written_.assign(written);
    auto found = elements_.find(written_);
    if (found != elements_.end()) {
        return found->second;
    }
    assignLowerCase(written, uncached_.lowerCase);
    uncached_.key = keyOrNewKey(uncached_.lowerCase);
    if (uncached_.key == kKeyNa) {
        // "na" itself: kept out, so 0 always means "look again".
        return uncached_;
    }
    return elements_.emplace(written_, uncached_).first->second;
}

uint32_t NameKeyCache::attribute(const char* written) {
    written_.assign(written);
    auto found = attributes_.find(written_);
    if (found != attributes_.end()) {
        return found->second;
    }
    assignLowerCase(written, lowered_);
    const uint32_t key = ItemUID::str2key(lowered_);
    if (key != kKeyNa) {
        attributes_.emplace(written_, key);
    }
    return key;
}

}  // namespace parser
}  // namespace VELT
