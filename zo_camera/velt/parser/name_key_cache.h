// Keys of the element and attribute names met while reading one document,
// by the name as written, so that a name repeated thousands of times is
// lower-cased and looked up in the dictionary only once.
#ifndef ZO_CAMERA_VELT_PARSER_NAME_KEY_CACHE_H
#define ZO_CAMERA_VELT_PARSER_NAME_KEY_CACHE_H

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>

namespace VELT {
namespace parser {

// Only keys that the dictionary holds are remembered: while a document is
// read the dictionary only grows, so such a key cannot change, whereas a name
// it lacks may be added by a later element. Cleared for every document, since
// the dictionary may be replaced between documents.
class NameKeyCache {
  public:
    struct Name {
        std::string lowerCase;  // the name lower-cased, as the dictionary holds it
        uint32_t key;           // its key; 0 when the dictionary has no other
    };

    void clear();
    // An element name: its key, generated when new.
    const Name& element(const char* written);
    // An attribute name: its key, 0 when the dictionary lacks it (never generated).
    uint32_t attribute(const char* written);

  private:
    using Elements = std::unordered_map<std::string, Name>;
    using Attributes = std::unordered_map<std::string, uint32_t>;

    // Small tables of remembered names, so that a name met again is found
    // with one comparison of its text instead of copying and hashing it. The
    // text comparison alone decides; the slot is only a guess. expat hands
    // over each distinct attribute name at one address for the whole
    // document, so attributes are placed by address; element names come in
    // reused buffers, so elements are placed by their first eight letters.
    static constexpr unsigned kSlotBits = 6;
    static constexpr size_t kSlots = size_t{1} << kSlotBits;
    static size_t slotByAddress(const char* written);
    static size_t slotByText(const char* written);

    Elements elements_;
    Attributes attributes_;
    std::array<const Elements::value_type*, kSlots> elementSlots_{};
    std::array<const Attributes::value_type*, kSlots> attributeSlots_{};
    // Reused buffers: the lookup key, a lower-cased attribute name, and the
    // answer for an element name that is not remembered (which must survive
    // the attribute lookups of its element).
    std::string written_;
    std::string lowered_;
    Name uncached_;
};

}  // namespace parser
}  // namespace VELT

#endif
