// Remembered keys of element and attribute names.

#include "zo_camera/velt/parser/name_key_cache.h"

#include <cstring>

#include "velt_keys.h"
#include "zo_camera/velt/parser/parser_names.h"

namespace VELT {
namespace parser {

namespace {

// The remembered entry in slot when it is for the name written.
template <typename Entry>
bool holds(const Entry* slot, const char* written) {
    return slot != nullptr && std::strcmp(slot->first.c_str(), written) == 0;
}

}  // namespace

size_t NameKeyCache::slotByAddress(const char* written) {
    // expat packs the names of one element's attributes byte after byte, so
    // the low bits of their addresses decide: multiplying by a large odd
    // constant carries every bit into the top ones, which pick the slot.
    const uint64_t address = reinterpret_cast<uintptr_t>(written);
    return static_cast<size_t>((address * 0x9E3779B97F4A7C15u) >> (64 - kSlotBits));
}

size_t NameKeyCache::slotByText(const char* written) {
    size_t hash = 0;
    for (int i = 0; i < 8 && written[i] != '\0'; ++i) {
        hash = hash * 31 + static_cast<unsigned char>(written[i]);
    }
    return hash % kSlots;
}

void NameKeyCache::clear() {
    elements_.clear();
    attributes_.clear();
    elementSlots_.fill(nullptr);
    attributeSlots_.fill(nullptr);
}

const NameKeyCache::Name& NameKeyCache::element(const char* written) {
    const Elements::value_type*& slot = elementSlots_[slotByText(written)];
    if (holds(slot, written)) {
        return slot->second;
    }
    written_.assign(written);
    auto found = elements_.find(written_);
    if (found != elements_.end()) {
        slot = &*found;
        return found->second;
    }
    assignLowerCase(written, uncached_.lowerCase);
    uncached_.key = keyOrNewKey(uncached_.lowerCase);
    if (uncached_.key == kKeyNa) {
        // "na" itself: kept out, so 0 always means "look again".
        return uncached_;
    }
    slot = &*elements_.emplace(written_, uncached_).first;
    return slot->second;
}

uint32_t NameKeyCache::attribute(const char* written) {
    const Attributes::value_type*& slot = attributeSlots_[slotByAddress(written)];
    if (holds(slot, written)) {
        return slot->second;
    }
    written_.assign(written);
    auto found = attributes_.find(written_);
    if (found != attributes_.end()) {
        slot = &*found;
        return found->second;
    }
    assignLowerCase(written, lowered_);
    const uint32_t key = ItemUID::str2key(lowered_);
    if (key != kKeyNa) {
        slot = &*attributes_.emplace(written_, key).first;
    }
    return key;
}

}  // namespace parser
}  // namespace VELT
