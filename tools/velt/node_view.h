// Read-only helpers over configuration-tree nodes: attributes by name, child
// nodes in stored order, and the display names the tool prints.
#ifndef VELT_TOOL_NODE_VIEW_H
#define VELT_TOOL_NODE_VIEW_H

#include <optional>
#include <string>
#include <vector>

#include "velt_graph_config.h"

namespace velt_tool {

// One attribute of a node, with its value as the document wrote it.
struct AttributeView {
    std::string name;
    bool isInteger;
    int integer;       // when isInteger
    std::string text;  // the value as text in either case
};

// The node's attributes in stored order.
std::vector<AttributeView> attributesOf(const VELT::IGraphConfig& node);
// The node's child nodes in stored order.
std::vector<VELT::IGraphConfig*> childNodesOf(const VELT::IGraphConfig& node);
// Child nodes stored under the name (e.g. "settings"), in stored order.
std::vector<VELT::IGraphConfig*> childNodesNamed(const VELT::IGraphConfig& node,
                                                 const std::string& name);
// Child nodes whose "type" is typeName (e.g. "program_group"), in stored order.
std::vector<VELT::IGraphConfig*> childNodesOfType(const VELT::IGraphConfig& node,
                                                  const std::string& typeName);
// The child node stored under the name, or null.
VELT::IGraphConfig* childNamed(const VELT::IGraphConfig& node, const std::string& name);

// An integer attribute; empty when missing, of another kind, or a name the
// key dictionary does not know.
std::optional<int> intAttribute(const VELT::IGraphConfig& node, const std::string& name);
// A string attribute, under the same rules.
std::optional<std::string> textAttribute(const VELT::IGraphConfig& node, const std::string& name);
// The attribute as text, whichever kind it is; empty when missing.
std::optional<std::string> anyAttribute(const VELT::IGraphConfig& node, const std::string& name);

// The node's "name" attribute, or the name of the key it is stored under.
std::string displayName(const VELT::IGraphConfig& node);
// The node's "type" attribute, or "".
std::string typeOf(const VELT::IGraphConfig& node);

// "WxH FORMAT" from a node's width, height and format, or "" without a size.
std::string sizeAndFormat(const VELT::IGraphConfig& node);

}  // namespace velt_tool

#endif
