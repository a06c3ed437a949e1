// Encoding and checking compiled documents. All numbers are little-endian.

#include "zo_camera/velt/parser/compiled_format.h"

#include <libdeflate.h>

#include <algorithm>
#include <cstring>
#include <map>

namespace VELT {
namespace parser {

namespace {

constexpr uint32_t kNarrow = 2;
constexpr uint32_t kWide = 4;
constexpr uint32_t kNarrowLimit = 0xFFFF;

// Header fields.
constexpr size_t kVersionAt = 8;
constexpr size_t kWidthAt = 12;
constexpr size_t kStringCountAt = 16;
constexpr size_t kStringBytesAt = 20;
constexpr size_t kShapeCountAt = 24;
constexpr size_t kShapeAttributeCountAt = 28;
constexpr size_t kElementCountAt = 32;
constexpr size_t kValueCountAt = 36;

uint32_t readU32(const uint8_t* bytes) {
    return loadNumber<4>(bytes);
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

// The CRC-32 (zlib's) of everything but the CRC field itself, by
// libdeflate, which reads a file at memory speed where zlib's tables would
// cost a tenth of the whole read.
uint32_t fileCrc(const uint8_t* bytes, size_t size) {
    const uint32_t crc = libdeflate_crc32(0, bytes, kCompiledCrcOffset);
    return libdeflate_crc32(crc, bytes + kCompiledHeaderSize, size - kCompiledHeaderSize);
}

// The shapes of a recorded document: each distinct element name with its
// attribute names in order, numbered by first use.
struct Shapes {
    // Per shape: the element name, then the attribute names.
    std::vector<std::vector<uint32_t>> names;
    std::vector<uint32_t> ofElement;
};

Shapes shapesOf(const RecordedDocument& document) {
    Shapes shapes;
    std::map<std::vector<uint32_t>, uint32_t> numbers;
    std::vector<uint32_t> shape;
    size_t attribute = 0;
    shapes.ofElement.reserve(document.elements.size());
    for (const RecordedDocument::Element& element : document.elements) {
        shape.assign(1, element.name);
        for (uint32_t index = 0; index < element.attributeCount; ++index) {
            shape.push_back(document.attributes[attribute + index].name);
        }
        attribute += element.attributeCount;
        const auto number = static_cast<uint32_t>(shapes.names.size());
        const auto inserted = numbers.emplace(shape, number);
        if (inserted.second) {
            shapes.names.push_back(shape);
        }
        shapes.ofElement.push_back(inserted.first->second);
    }
    return shapes;
}

// Every number fits in 16 bits: indices, depths and attribute counts.
uint32_t widthFor(const RecordedDocument& document, const Shapes& shapes) {
    if (document.strings.size() > kNarrowLimit + size_t{1} ||
        shapes.names.size() > kNarrowLimit + size_t{1}) {
        return kWide;
    }
    for (const std::vector<uint32_t>& shape : shapes.names) {
        if (shape.size() - 1 > kNarrowLimit) {
            return kWide;
        }
    }
    for (const RecordedDocument::Element& element : document.elements) {
        if (element.depth > kNarrowLimit) {
            return kWide;
        }
    }
    return kNarrow;
}

// The first of count numbers at table that is not below limit; count when
// none is.
template <unsigned Width>
uint64_t firstAbove(const uint8_t* table, uint64_t count, uint32_t limit) {
    for (uint64_t index = 0; index < count; ++index) {
        if (loadNumber<Width>(table + Width * index) >= limit) {
            return index;
        }
    }
    return count;
}

// True when every one of count numbers at table is below limit: no early
// exit, so that the loop runs on whole vectors (a file that fails is the
// rare case, and firstAbove finds where).
template <unsigned Width>
bool allBelow(const uint8_t* table, uint64_t count, uint32_t limit) {
    uint32_t largest = 0;
    for (uint64_t index = 0; index < count; ++index) {
        largest = std::max(largest, loadNumber<Width>(table + Width * index));
    }
    return count == 0 || largest < limit;
}

}  // namespace

std::vector<uint8_t> encodeCompiled(const RecordedDocument& document) {
    const Shapes shapes = shapesOf(document);
    const uint32_t width = widthFor(document, shapes);
    uint64_t stringBytes = 0;
    for (const std::string& text : document.strings) {
        stringBytes += text.size() + 1;
    }
    uint64_t shapeAttributes = 0;
    for (const std::vector<uint32_t>& shape : shapes.names) {
        shapeAttributes += shape.size() - 1;
    }
    std::vector<uint8_t> out(kCompiledMagic, kCompiledMagic + sizeof kCompiledMagic);
    appendNumber(out, kCompiledFormatVersion, 4);
    appendNumber(out, width, 4);
    appendNumber(out, static_cast<uint32_t>(document.strings.size()), 4);
    appendNumber(out, static_cast<uint32_t>(stringBytes), 4);
    appendNumber(out, static_cast<uint32_t>(shapes.names.size()), 4);
    appendNumber(out, static_cast<uint32_t>(shapeAttributes), 4);
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
    for (const std::vector<uint32_t>& shape : shapes.names) {
        appendNumber(out, shape[0], width);
        appendNumber(out, static_cast<uint32_t>(shape.size() - 1), width);
    }
    for (const std::vector<uint32_t>& shape : shapes.names) {
        for (size_t index = 1; index < shape.size(); ++index) {
            appendNumber(out, shape[index], width);
        }
    }
    for (size_t element = 0; element < document.elements.size(); ++element) {
        appendNumber(out, shapes.ofElement[element], width);
        appendNumber(out, document.elements[element].depth, width);
    }
    for (const RecordedDocument::Attribute& attribute : document.attributes) {
        appendNumber(out, attribute.value, width);
    }
    storeU32(out.data() + kCompiledCrcOffset, fileCrc(out.data(), out.size()));
    return out;
}

bool CompiledView::decode(const uint8_t* bytes, size_t size, uint32_t maxDepth,
                          std::string& error) {
    if (size < kCompiledHeaderSize ||
        std::memcmp(bytes, kCompiledMagic, sizeof kCompiledMagic) != 0) {
        error = "not a compiled document (no compiled-document header)";
        return false;
    }
    const uint32_t version = readU32(bytes + kVersionAt);
    if (version != kCompiledFormatVersion) {
        error = "compiled format version " + std::to_string(version) +
                " is not supported (this library reads version " +
                std::to_string(kCompiledFormatVersion) + "); compile the document again";
        return false;
    }
    width_ = readU32(bytes + kWidthAt);
    if (width_ != kNarrow && width_ != kWide) {
        error = "corrupt header (number width " + std::to_string(width_) + ")";
        return false;
    }
    stringCount_ = readU32(bytes + kStringCountAt);
    const uint32_t stringByteCount = readU32(bytes + kStringBytesAt);
    shapeCount_ = readU32(bytes + kShapeCountAt);
    shapeAttributeCount_ = readU32(bytes + kShapeAttributeCountAt);
    elementCount_ = readU32(bytes + kElementCountAt);
    const uint32_t valueCount = readU32(bytes + kValueCountAt);
    // In 64 bits nothing here can overflow.
    const uint64_t expected =
        kCompiledHeaderSize + uint64_t{4} * stringCount_ + stringByteCount +
        uint64_t{2} * width_ * shapeCount_ + uint64_t{1} * width_ * shapeAttributeCount_ +
        uint64_t{2} * width_ * elementCount_ + uint64_t{1} * width_ * valueCount;
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
    shapes_ = stringBytes_ + stringByteCount;
    shapeNames_ = shapes_ + size_t{2} * width_ * shapeCount_;
    elements_ = shapeNames_ + size_t{1} * width_ * shapeAttributeCount_;
    values_ = elements_ + size_t{2} * width_ * elementCount_;
    depthLimit_ = maxDepth;
    if (!checkStrings(stringByteCount, error) || !checkShapes(error) ||
        !checkElements(maxDepth, valueCount, error)) {
        return false;
    }
    const bool valuesFit = width_ == kWide ? allBelow<kWide>(values_, valueCount, stringCount_)
                                           : allBelow<kNarrow>(values_, valueCount, stringCount_);
    if (!valuesFit) {
        const uint64_t wrong = width_ == kWide
                                   ? firstAbove<kWide>(values_, valueCount, stringCount_)
                                   : firstAbove<kNarrow>(values_, valueCount, stringCount_);
        error = "attribute " + std::to_string(wrong) + " names no string";
        return false;
    }
    return true;
}

bool CompiledView::checkStrings(uint32_t stringByteCount, std::string& error) const {
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
    return true;
}

bool CompiledView::checkShapes(std::string& error) {
    // Every name a string of the table, and attribute counts that add up to
    // the table of the shapes' attribute names.
    shapeFirstNames_.assign(shapeCount_, 0);
    uint64_t names = 0;
    for (uint32_t shape = 0; shape < shapeCount_; ++shape) {
        if (shapeName(shape) >= stringCount_) {
            error = "shape " + std::to_string(shape) + " names no string";
            return false;
        }
        shapeFirstNames_[shape] = static_cast<uint32_t>(names);
        names += shapeAttributes(shape);
        if (names > shapeAttributeCount_) {
            break;
        }
    }
    if (names != shapeAttributeCount_) {
        error = "the shapes' attribute counts do not add up to their attribute names";
        return false;
    }
    for (uint32_t index = 0; index < shapeAttributeCount_; ++index) {
        if (shapeAttributeName(index) >= stringCount_) {
            error = "attribute name " + std::to_string(index) + " names no string";
            return false;
        }
    }
    return true;
}

bool CompiledView::checkElements(uint32_t maxDepth, uint32_t valueCount, std::string& error) {
    return width_ == kWide ? checkElementsOf<kWide>(maxDepth, valueCount, error)
                           : checkElementsOf<kNarrow>(maxDepth, valueCount, error);
}

template <unsigned Width>
bool CompiledView::checkElementsOf(uint32_t maxDepth, uint32_t valueCount, std::string& error) {
    // One document element, each element at most one level below the one
    // before it, each of a shape of the table, and attribute counts that add
    // up to the value table. The child counts come out on the way. One pass
    // at the file's width, as a large document has a million elements.
    if (elementCount_ == 0 || elementDepth(0) != 0) {
        error = "no document element";
        return false;
    }
    childCounts_.assign(elementCount_, 0);
    std::vector<uint32_t> openAt(maxDepth, 0);
    uint32_t* childCounts = childCounts_.data();
    uint64_t values = 0;
    uint32_t previousDepth = 0;
    const uint8_t* record = elements_;
    for (uint32_t element = 0; element < elementCount_; ++element, record += size_t{2} * Width) {
        const uint32_t shape = loadNumber<Width>(record);
        const uint32_t depth = loadNumber<Width>(record + Width);
        // depth - 1 wraps for depth 0, which only the first element has.
        if ((element > 0 && depth - 1 > previousDepth) || depth >= maxDepth) {
            error = "element " + std::to_string(element) + " has an impossible depth";
            return false;
        }
        if (shape >= shapeCount_) {
            error = "element " + std::to_string(element) + " names no shape";
            return false;
        }
        if (depth > 0) {
            ++childCounts[openAt[depth - 1]];
        }
        openAt[depth] = element;
        previousDepth = depth;
        values += loadNumber<Width>(shapes_ + size_t{2} * Width * shape + Width);
    }
    if (values != valueCount) {
        error = "the elements' attribute counts do not add up to the attribute table";
        return false;
    }
    return true;
}

}  // namespace parser
}  // namespace VELT
