// The names a graph descriptor defines, as its author wrote them: blocks
// under <nodes>, the ports and kernels of each block (with those of its base
// node), and the graphs with their ids.
#ifndef VELT_TOOL_LINT_DESCRIPTOR_INDEX_H
#define VELT_TOOL_LINT_DESCRIPTOR_INDEX_H

#include <optional>
#include <string>
#include <vector>

#include "lint/source_document.h"

namespace velt_tool {
namespace lint {

class DescriptorIndex {
  public:
    explicit DescriptorIndex(const SourceDocument& descriptor);

    // The block element named so (names compare exactly, as keys do).
    std::optional<size_t> block(const std::string& name) const;
    std::vector<std::string> blockNames() const;
    // The named child of an element (a block's port or kernel, a kernel's
    // own children); a block built on a base node also has the base's.
    std::optional<size_t> child(size_t element, const std::string& name) const;
    std::vector<std::string> childNames(size_t element) const;

    // The <graph> elements, in document order, and their ids as the reader
    // reads them (empty when missing).
    const std::vector<size_t>& graphs() const { return graphs_; }
    std::optional<int> graphId(size_t graph) const;

  private:
    // The element and, for a block with "base_node", its base block.
    std::vector<size_t> withBase(size_t element) const;

    const SourceDocument& document_;
    std::vector<size_t> blocks_;
    std::vector<size_t> graphs_;
};

// The integer the reader stores for text (strtol in base 10, cut to 32 bits).
int readInteger(const std::string& text);
// True when text is a whole decimal number within 32 bits, as written.
bool isWholeNumber(const std::string& text);

}  // namespace lint
}  // namespace velt_tool

#endif
