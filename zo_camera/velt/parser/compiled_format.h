// The compiled document format (docs/compiled-format.md): the elements of an
// XML document as the reader sees them (lower-cased names, values as
// written, document order, nesting), with every text stored once. Encoding
// is exact; decoding checks the whole file before anyone builds from it.
#ifndef ZO_CAMERA_VELT_PARSER_COMPILED_FORMAT_H
#define ZO_CAMERA_VELT_PARSER_COMPILED_FORMAT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace VELT {
namespace parser {

constexpr uint8_t kCompiledMagic[8] = {0x89, 'V', 'E', 'L', 'T', 'B', 'I', 'N'};
constexpr uint32_t kCompiledFormatVersion = 1;
constexpr size_t kCompiledHeaderSize = 36;
// Offset of the CRC-32 field, which the checksum skips.
constexpr size_t kCompiledCrcOffset = 32;
// Files above this are refused unread.
constexpr uint64_t kMaxCompiledFileSize = uint64_t{1} << 30;

// A document as recorded from XML, ready to encode.
struct RecordedDocument {
    struct Element {
        uint32_t name;   // index into strings
        uint32_t depth;  // 0 for the document element
        uint32_t attributeCount;
    };
    struct Attribute {
        uint32_t name;
        uint32_t value;
    };
    std::vector<std::string> strings;
    std::vector<Element> elements;      // document order
    std::vector<Attribute> attributes;  // of all elements, in element order
};

// The file image of a recorded document.
std::vector<uint8_t> encodeCompiled(const RecordedDocument& document);

// A checked compiled file, read in place: everything it hands out lies
// within the bytes it was decoded from.
class CompiledView {
  public:
    // Checks bytes completely (magic, version, lengths, CRC-32, every index
    // and the nesting, no deeper than maxDepth open elements). False with a
    // description in error when anything is wrong.
    bool decode(const uint8_t* bytes, size_t size, uint32_t maxDepth, std::string& error);

    uint32_t stringCount() const { return stringCount_; }
    // String index, NUL-terminated, and its length.
    const char* string(uint32_t index) const;
    size_t stringLength(uint32_t index) const;
    uint32_t elementCount() const { return elementCount_; }
    uint32_t elementName(uint32_t element) const { return field(elements_, element * 3); }
    uint32_t elementDepth(uint32_t element) const { return field(elements_, element * 3 + 1); }
    uint32_t elementAttributes(uint32_t element) const { return field(elements_, element * 3 + 2); }
    // Attribute index counts over all elements, in element order.
    uint32_t attributeName(uint64_t attribute) const { return field(attributes_, attribute * 2); }
    uint32_t attributeValue(uint64_t attribute) const {
        return field(attributes_, attribute * 2 + 1);
    }

  private:
    uint32_t field(const uint8_t* table, uint64_t index) const {
        const uint8_t* at = table + index * width_;
        uint32_t value = static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8;
        if (width_ == 4) {
            value |= static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
        }
        return value;
    }
    uint32_t stringEnd(uint32_t index) const;

    uint32_t width_ = 4;
    uint32_t stringCount_ = 0;
    uint32_t elementCount_ = 0;
    const uint8_t* stringEnds_ = nullptr;
    const uint8_t* stringBytes_ = nullptr;
    const uint8_t* elements_ = nullptr;
    const uint8_t* attributes_ = nullptr;
};

}  // namespace parser
}  // namespace VELT

#endif
