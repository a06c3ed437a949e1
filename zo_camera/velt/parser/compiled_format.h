// The compiled document format (docs/compiled-format.md): the elements of an
// XML document as the reader sees them (lower-cased names, values as
// written, document order, nesting), with every text stored once and every
// distinct combination of an element name and its attribute names (a
// shape) stored once, so that a reader works out how such elements become
// items once per shape rather than once per element. Encoding is exact;
// decoding checks the whole file before anyone builds from it.
#ifndef ZO_CAMERA_VELT_PARSER_COMPILED_FORMAT_H
#define ZO_CAMERA_VELT_PARSER_COMPILED_FORMAT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace VELT {
namespace parser {

constexpr uint8_t kCompiledMagic[8] = {0x89, 'V', 'E', 'L', 'T', 'B', 'I', 'N'};
constexpr uint32_t kCompiledFormatVersion = 2;
constexpr size_t kCompiledHeaderSize = 44;
// Offset of the CRC-32 field, which the checksum skips.
constexpr size_t kCompiledCrcOffset = 40;
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

// A little-endian number of Width bytes (2 or 4); byte by byte, which
// compiles to one load on little-endian hosts.
template <unsigned Width>
inline uint32_t loadNumber(const uint8_t* at) {
    uint32_t value = static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8;
    if (Width == 4) {
        value |= static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
    }
    return value;
}

// A checked compiled file, read in place: everything it hands out lies
// within the bytes it was decoded from, except the child counts, which
// decoding works out from the depths.
class CompiledView {
  public:
    // Checks bytes completely (magic, version, lengths, CRC-32, every index,
    // every count and the nesting, no deeper than maxDepth open elements).
    // False with a description in error when anything is wrong. Throws
    // std::bad_alloc when the child counts find no room.
    bool decode(const uint8_t* bytes, size_t size, uint32_t maxDepth, std::string& error);

    // 2 or 4: the byte width of every number in the tables below.
    uint32_t width() const { return width_; }
    // The maxDepth decoding checked: no more elements are ever open at once.
    uint32_t depthLimit() const { return depthLimit_; }

    uint32_t stringCount() const { return stringCount_; }
    // String index, NUL-terminated, and its length. Inline: a reader asks
    // for one per string attribute.
    const char* string(uint32_t index) const {
        return reinterpret_cast<const char*>(stringBytes_ + stringBegin(index));
    }
    size_t stringLength(uint32_t index) const { return stringEnd(index) - stringBegin(index) - 1; }
    const char* string(uint32_t index, size_t& length) const {
        const uint32_t begin = stringBegin(index);
        length = stringEnd(index) - begin - 1;
        return reinterpret_cast<const char*>(stringBytes_ + begin);
    }

    uint32_t shapeCount() const { return shapeCount_; }
    // All shapes' attribute names together.
    uint32_t shapeAttributeCount() const { return shapeAttributeCount_; }
    uint32_t shapeName(uint32_t shape) const { return field(shapes_, size_t{2} * shape); }
    uint32_t shapeAttributes(uint32_t shape) const { return field(shapes_, size_t{2} * shape + 1); }
    // Where the shape's attribute names start among all shapes' names.
    uint32_t shapeFirstName(uint32_t shape) const { return shapeFirstNames_[shape]; }
    // Name number index among all shapes' names.
    uint32_t shapeAttributeName(uint32_t index) const { return field(shapeNames_, index); }

    uint32_t elementCount() const { return elementCount_; }
    // The element table (shape, depth per element) and the value table (one
    // string index per attribute, element by element), for readers that
    // walk them with loadNumber.
    const uint8_t* elementTable() const { return elements_; }
    const uint8_t* valueTable() const { return values_; }
    uint32_t elementShape(uint32_t element) const { return field(elements_, size_t{2} * element); }
    uint32_t elementDepth(uint32_t element) const {
        return field(elements_, size_t{2} * element + 1);
    }
    // How many elements are direct children of element.
    uint32_t childCount(uint32_t element) const { return childCounts_[element]; }
    uint32_t value(uint64_t index) const { return field(values_, index); }

  private:
    uint32_t field(const uint8_t* table, uint64_t index) const {
        const uint8_t* at = table + index * width_;
        return width_ == 4 ? loadNumber<4>(at) : loadNumber<2>(at);
    }
    // Where string index ends (past its NUL) and where it begins.
    uint32_t stringEnd(uint32_t index) const {
        return loadNumber<4>(stringEnds_ + size_t{4} * index);
    }
    uint32_t stringBegin(uint32_t index) const { return index == 0 ? 0 : stringEnd(index - 1); }
    bool checkStrings(uint32_t stringByteCount, std::string& error) const;
    bool checkShapes(std::string& error);
    bool checkElements(uint32_t maxDepth, uint32_t valueCount, std::string& error);
    template <unsigned Width>
    bool checkElementsOf(uint32_t maxDepth, uint32_t valueCount, std::string& error);

    uint32_t width_ = 4;
    uint32_t depthLimit_ = 0;
    uint32_t stringCount_ = 0;
    uint32_t shapeCount_ = 0;
    uint32_t shapeAttributeCount_ = 0;
    uint32_t elementCount_ = 0;
    const uint8_t* stringEnds_ = nullptr;
    const uint8_t* stringBytes_ = nullptr;
    const uint8_t* shapes_ = nullptr;
    const uint8_t* shapeNames_ = nullptr;
    const uint8_t* elements_ = nullptr;
    const uint8_t* values_ = nullptr;
    std::vector<uint32_t> shapeFirstNames_;
    std::vector<uint32_t> childCounts_;
};

}  // namespace parser
}  // namespace VELT

#endif
