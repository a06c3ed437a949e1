// One element as the reader's element rules see it, whatever it was read
// from: an XML start tag (expat) or a record of a compiled document. The
// rules (velt_parser_elements.cpp) ask for each name's key only at the moment
// the XML reader would look it up, because a name generated earlier in the
// same element changes what a later lookup finds.
#ifndef ZO_CAMERA_VELT_PARSER_ELEMENT_SOURCE_H
#define ZO_CAMERA_VELT_PARSER_ELEMENT_SOURCE_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace VELT {
namespace parser {

class ElementSource {
  public:
    // The key of the element's lower-cased name (generated when new).
    virtual uint32_t nameKey() = 0;
    // That name, after nameKey; valid while the element is being built.
    virtual const std::string& nameText() = 0;
    virtual size_t attributeCount() const = 0;
    // The key of attribute index's lower-cased name; 0 when the dictionary
    // lacks it (never generated).
    virtual uint32_t attributeKey(size_t index) = 0;
    // Its value as written: length bytes at the returned address, valid
    // while the element is being built.
    virtual const char* attributeValue(size_t index, size_t& length) = 0;
    // The same value, copied.
    void attributeText(size_t index, std::string& out) {
        size_t length = 0;
        const char* value = attributeValue(index, length);
        out.assign(value, length);
    }
    // Its value as an integer (the reader's rule of common/number_text.h).
    virtual int attributeInteger(size_t index) = 0;
    // The key of its value as written, generated when new.
    virtual uint32_t attributeTextKey(size_t index) = 0;

  protected:
    ~ElementSource() = default;
};

}  // namespace parser
}  // namespace VELT

#endif
