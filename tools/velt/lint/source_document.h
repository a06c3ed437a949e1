// A positional view of a document as its author wrote it: every element with
// its line and column, its name and its attributes in document order, with
// the original spelling. Diagnostics point at the text through it; the
// library's reader knows none of this and is not slowed down by it.
#ifndef VELT_TOOL_LINT_SOURCE_DOCUMENT_H
#define VELT_TOOL_LINT_SOURCE_DOCUMENT_H

#include <cstddef>
#include <string>
#include <vector>

namespace velt_tool {
namespace lint {

// 1-based, columns counted in characters.
struct SourcePosition {
    unsigned long line = 0;
    unsigned long column = 0;
};

struct SourceAttribute {
    std::string name;           // as written
    std::string value;          // with references resolved, as the reader sees it
    SourcePosition position;    // of the name
    SourcePosition valueStart;  // of the value's first character
};

struct SourceElement {
    std::string name;                         // as written
    SourcePosition position;                  // of the '<'
    std::vector<SourceAttribute> attributes;  // in document order
    size_t parent;                 // index of the enclosing element; kNoParent for the top level
    std::vector<size_t> children;  // indices, in document order

    static constexpr size_t kNoParent = static_cast<size_t>(-1);

    // The name lower-cased, as the reader looks it up.
    std::string lowerName() const;
    // The first attribute whose lower-cased name is lowerName, or null.
    const SourceAttribute* attribute(const std::string& lowerName) const;
    // Its value, or "" when there is none.
    std::string value(const std::string& lowerName) const;
};

class SourceDocument {
  public:
    // The document in text, which path names in diagnostics. Reading stops
    // at the first syntax error; the elements met before it are kept.
    SourceDocument(const std::string& path, const std::string& text);

    const std::string& path() const { return path_; }
    // Every element in document order; the top-level element first.
    const std::vector<SourceElement>& elements() const { return elements_; }
    const SourceElement& element(size_t index) const { return elements_[index]; }
    // False when reading stopped at a syntax error.
    bool complete() const { return complete_; }

    // The children of element index whose lower-cased name is lowerName.
    std::vector<size_t> childrenNamed(size_t index, const std::string& lowerName) const;
    // The children of the top-level element named so (none for an empty document).
    std::vector<size_t> topLevelChildrenNamed(const std::string& lowerName) const;

  private:
    friend struct SourceDocumentBuilder;
    std::string path_;
    std::vector<SourceElement> elements_;
    bool complete_ = false;
};

// Reads a plain (.xml) or gzip (.gz) file; ToolError (bad input) when it
// cannot be read or decompressed.
SourceDocument readSourceDocument(const std::string& path);

// Lower-cases ASCII letters byte by byte, as the reader does.
std::string lowerCase(const std::string& text);

}  // namespace lint
}  // namespace velt_tool

#endif
