#include "node_view.h"

#include "velt_graph_config_node.h"
#include "velt_item_uid.h"

namespace velt_tool {

namespace {

const VELT::GraphConfigNode& asNode(const VELT::IGraphConfig& node) {
    return static_cast<const VELT::GraphConfigNode&>(node);
}

// The key of a known name; 0 ("na") for names the dictionary lacks, which
// must not be looked up since unknown attributes are stored under 0.
uint32_t knownKey(const std::string& name) {
    return VELT::ItemUID::str2key(name);
}

}  // namespace

std::vector<AttributeView> attributesOf(const VELT::IGraphConfig& node) {
    std::vector<AttributeView> result;
    for (const auto& entry : asNode(node)) {
        const VELT::GraphConfigItem& item = *entry.second;
        if (!item.isAttribute()) {
            continue;
        }
        AttributeView view{VELT::ItemUID::key2str(entry.first), false, 0, ""};
        if (item.getValue(view.integer) == 0) {
            view.isInteger = true;
            view.text = std::to_string(view.integer);
        } else {
            item.getValue(view.text);
        }
        result.push_back(view);
    }
    return result;
}

std::vector<VELT::IGraphConfig*> childNodesOf(const VELT::IGraphConfig& node) {
    std::vector<VELT::IGraphConfig*> result;
    for (const auto& entry : asNode(node)) {
        if (entry.second->isNode()) {
            result.push_back(static_cast<VELT::GraphConfigNode*>(entry.second.get()));
        }
    }
    return result;
}

std::vector<VELT::IGraphConfig*> childNodesNamed(const VELT::IGraphConfig& node,
                                                 const std::string& name) {
    std::vector<VELT::IGraphConfig*> result;
    uint32_t key = knownKey(name);
    if (key == 0) {
        return result;
    }
    auto range = asNode(node).equalRange(key);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second->isNode()) {
            result.push_back(static_cast<VELT::GraphConfigNode*>(it->second.get()));
        }
    }
    return result;
}

std::vector<VELT::IGraphConfig*> childNodesOfType(const VELT::IGraphConfig& node,
                                                  const std::string& typeName) {
    std::vector<VELT::IGraphConfig*> result;
    for (VELT::IGraphConfig* child : childNodesOf(node)) {
        if (typeOf(*child) == typeName) {
            result.push_back(child);
        }
    }
    return result;
}

VELT::IGraphConfig* childNamed(const VELT::IGraphConfig& node, const std::string& name) {
    uint32_t key = knownKey(name);
    return key == 0 ? nullptr : node.getDescendant(key);
}

std::optional<int> intAttribute(const VELT::IGraphConfig& node, const std::string& name) {
    uint32_t key = knownKey(name);
    int value = 0;
    if (key == 0 || node.getValue(key, value) != 0) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> textAttribute(const VELT::IGraphConfig& node, const std::string& name) {
    uint32_t key = knownKey(name);
    std::string value;
    if (key == 0 || node.getValue(key, value) != 0) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> anyAttribute(const VELT::IGraphConfig& node, const std::string& name) {
    if (auto number = intAttribute(node, name)) {
        return std::to_string(*number);
    }
    return textAttribute(node, name);
}

std::string displayName(const VELT::IGraphConfig& node) {
    if (auto name = textAttribute(node, "name")) {
        return *name;
    }
    return node.getName();
}

std::string typeOf(const VELT::IGraphConfig& node) {
    return textAttribute(node, "type").value_or("");
}

std::string sizeAndFormat(const VELT::IGraphConfig& node) {
    auto width = intAttribute(node, "width");
    auto height = intAttribute(node, "height");
    auto format = textAttribute(node, "format");
    std::string text;
    if (width && height) {
        text = std::to_string(*width) + "x" + std::to_string(*height);
    }
    if (format) {
        text += (text.empty() ? "" : " ") + *format;
    }
    return text;
}

}  // namespace velt_tool
