// Keys of the element and attribute names met while reading one document,
// by the name as written, so that a name repeated thousands of times is
// lower-cased and looked up in the dictionary only once.
#ifndef ZO_CAMERA_VELT_PARSER_NAME_KEY_CACHE_H
#define ZO_CAMERA_VELT_PARSER_NAME_KEY_CACHE_H

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
    std::unordered_map<std::string, Name> elements_;
    std::unordered_map<std::string, uint32_t> attributes_;
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
