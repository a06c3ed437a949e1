// Encoding and checking compiled documents. All numbers are little-endian;
// the byte-wise reads below compile to plain loads on little-endian hosts.

#include "zo_camera/velt/parser/compiled_format.h"

#include <zlib.h>

#include <cstring>

namespace VELT {
namespace parser {

namespace {

constexpr uint32_t kNarrow = 2;
constexpr uint32_t kWide = 4;
constexpr uint32_t kNarrowLimit = 0xFFFF;

uint32_t readU32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

void appendNumber(std::vector<uint8_t>& out, uint32_t value, uint32_t width) {
    for (uint32_t byte = 0; byte < width; ++byte) {
        out.push_back(static_cast<uint8_t>(value >> (8 * byte)));
    }
}

void storeU32(uint8_t* at, uint32_t value) {
    for (int byte = 0; byte < 4; ++byte) {
        at[byte] = static_cast<uint8_t>(value >> (8 * byte));
    }
}

// The CRC-32 (zlib's) of everything but the CRC field itself.
uint32_t fileCrc(const uint8_t* bytes, size_t size) {
    uLong crc = crc32_z(0L, bytes, kCompiledCrcOffset);
    crc = crc32_z(crc, bytes + kCompiledHeaderSize, size - kCompiledHeaderSize);
    return static_cast<uint32_t>(crc);
}

// Every number fits in 16 bits: ids, depths and attribute counts.
uint32_t widthFor(const RecordedDocument& document) {
    if (document.strings.size() > kNarrowLimit + size_t{1}) {
        return kWide;
    }
    for (const RecordedDocument::Element& element : document.elements) {
        if (element.depth > kNarrowLimit || element.attributeCount > kNarrowLimit) {
            return kWide;
        }
    }
    return kNarrow;
}

}  // namespace

std::vector<uint8_t> encodeCompiled(const RecordedDocument& document) {
    const uint32_t width = widthFor(document);
    std::vector<uint8_t> out(kCompiledMagic, kCompiledMagic + sizeof kCompiledMagic);
    appendNumber(out, kCompiledFormatVersion, 4);
    appendNumber(out, width, 4);
    uint64_t stringBytes = 0;
    for (const std::string& text : document.strings) {
        stringBytes += text.size() + 1;
    }
    appendNumber(out, static_cast<uint32_t>(document.strings.size()), 4);
    appendNumber(out, static_cast<uint32_t>(stringBytes), 4);
    appendNumber(out, static_cast<uint32_t>(document.elements.size()), 4);
    appendNumber(out, static_cast<uint32_t>(document.attributes.size()), 4);
    appendNumber(out, 0, 4);  // the CRC, filled in below

    uint32_t end = 0;
    for (const std::string& text : document.strings) {
        end += static_cast<uint32_t>(text.size() + 1);
        appendNumber(out, end, 4);
    }
    for (const std::string& text : document.strings) {
        out.insert(out.end(), text.begin(), text.end());
        out.push_back(0);
    }
    for (const RecordedDocument::Element& element : document.elements) {
        appendNumber(out, element.name, width);
        appendNumber(out, element.depth, width);
        appendNumber(out, element.attributeCount, width);
    }
    for (const RecordedDocument::Attribute& attribute : document.attributes) {
        appendNumber(out, attribute.name, width);
        appendNumber(out, attribute.value, width);
    }
    storeU32(out.data() + kCompiledCrcOffset, fileCrc(out.data(), out.size()));
    return out;
}

uint32_t CompiledView::stringEnd(uint32_t index) const {
    return readU32(stringEnds_ + size_t{4} * index);
}

const char* CompiledView::string(uint32_t index) const {
    const uint32_t begin = index == 0 ? 0 : stringEnd(index - 1);
    return reinterpret_cast<const char*>(stringBytes_ + begin);
}

size_t CompiledView::stringLength(uint32_t index) const {
    const uint32_t begin = index == 0 ? 0 : stringEnd(index - 1);
    return stringEnd(index) - begin - 1;
}

bool CompiledView::decode(const uint8_t* bytes, size_t size, uint32_t maxDepth,
                          std::string& error) {
    if (size < kCompiledHeaderSize || std::memcmp(bytes, kCompiledMagic, sizeof kCompiledMagic)) {
        error = "not a compiled document (no compiled-document header)";
        return false;
    }
    const uint32_t version = readU32(bytes + 8);
    if (version != kCompiledFormatVersion) {
        error = "compiled format version " + std::to_string(version) +
                " is not supported (this library reads version " +
                std::to_string(kCompiledFormatVersion) + "); compile the document again";
        return false;
    }
    width_ = readU32(bytes + 12);
    if (width_ != kNarrow && width_ != kWide) {
        error = "corrupt header (number width " + std::to_string(width_) + ")";
        return false;
    }
    stringCount_ = readU32(bytes + 16);
    const uint32_t stringByteCount = readU32(bytes + 20);
    elementCount_ = readU32(bytes + 24);
    const uint32_t attributeCount = readU32(bytes + 28);
    // In 64 bits nothing here can overflow.
    const uint64_t expected = kCompiledHeaderSize + uint64_t{4} * stringCount_ + stringByteCount +
                              uint64_t{3} * width_ * elementCount_ +
                              uint64_t{2} * width_ * attributeCount;
    if (expected != size) {
        error = "the header's table lengths make " + std::to_string(expected) +
                " bytes, the file has " + std::to_string(size) + " (truncated or corrupt)";
        return false;
    }
    const uint32_t crc = fileCrc(bytes, size);
    if (crc != readU32(bytes + kCompiledCrcOffset)) {
        error = "checksum mismatch (corrupt file)";
        return false;
    }
    stringEnds_ = bytes + kCompiledHeaderSize;
    stringBytes_ = stringEnds_ + size_t{4} * stringCount_;
    elements_ = stringBytes_ + stringByteCount;
    attributes_ = elements_ + size_t{3} * width_ * elementCount_;

    // Every string ends in its only NUL.
    uint32_t begin = 0;
    for (uint32_t index = 0; index < stringCount_; ++index) {
        const uint32_t end = stringEnd(index);
        if (end <= begin || end > stringByteCount ||
            std::memchr(stringBytes_ + begin, 0, end - begin) != stringBytes_ + end - 1) {
            error = "string " + std::to_string(index) + " is malformed";
            return false;
        }
        begin = end;
    }
    if (begin != stringByteCount) {
        error = "the string table has bytes beyond its last string";
        return false;
    }
    // One document element, each element at most one level below the one
    // before it, every name and value a string of the table, and attribute
    // counts that add up to the attribute table.
    if (elementCount_ == 0 || elementDepth(0) != 0) {
        error = "no document element";
        return false;
    }
    uint64_t attributes = 0;
    uint32_t previousDepth = 0;
    for (uint32_t element = 0; element < elementCount_; ++element) {
        const uint32_t depth = elementDepth(element);
        if ((element > 0 && (depth == 0 || depth > previousDepth + 1)) || depth >= maxDepth) {
            error = "element " + std::to_string(element) + " has an impossible depth";
            return false;
        }
        if (elementName(element) >= stringCount_) {
            error = "element " + std::to_string(element) + " names no string";
            return false;
        }
        previousDepth = depth;
        attributes += elementAttributes(element);
    }
    if (attributes != attributeCount) {
        error = "the elements' attribute counts do not add up to the attribute table";
        return false;
    }
    for (uint64_t attribute = 0; attribute < attributeCount; ++attribute) {
        if (attributeName(attribute) >= stringCount_ || attributeValue(attribute) >= stringCount_) {
            error = "attribute " + std::to_string(attribute) + " names no string";
            return false;
        }
    }
    return true;
}

}  // namespace parser
}  // namespace VELT
