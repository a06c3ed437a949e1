#include "lint/descriptor_index.h"

#include "zo_camera/velt/common/number_text.h"

namespace velt_tool {
namespace lint {

DescriptorIndex::DescriptorIndex(const SourceDocument& descriptor) : document_(descriptor) {
    for (size_t nodes : descriptor.topLevelChildrenNamed("nodes")) {
        for (size_t block : descriptor.element(nodes).children) {
            if (descriptor.element(block).attribute("name") != nullptr) {
                blocks_.push_back(block);
            }
        }
    }
    for (size_t graphs : descriptor.topLevelChildrenNamed("graphs")) {
        for (size_t graph : descriptor.element(graphs).children) {
            graphs_.push_back(graph);
        }
    }
}

std::optional<size_t> DescriptorIndex::block(const std::string& name) const {
    for (size_t block : blocks_) {
        if (document_.element(block).value("name") == name) {
            return block;
        }
    }
    return std::nullopt;
}

std::vector<std::string> DescriptorIndex::blockNames() const {
    std::vector<std::string> names;
    for (size_t block : blocks_) {
        names.push_back(document_.element(block).value("name"));
    }
    return names;
}

std::vector<size_t> DescriptorIndex::withBase(size_t element) const {
    std::vector<size_t> sources{element};
    const SourceAttribute* base = document_.element(element).attribute("base_node");
    if (base != nullptr) {
        for (size_t block : blocks_) {
            if (block != element && document_.element(block).lowerName() == "base_node" &&
                document_.element(block).value("name") == base->value) {
                sources.push_back(block);
            }
        }
    }
    return sources;
}

std::optional<size_t> DescriptorIndex::child(size_t element, const std::string& name) const {
    for (size_t source : withBase(element)) {
        for (size_t child : document_.element(source).children) {
            const SourceAttribute* childName = document_.element(child).attribute("name");
            if (childName != nullptr && childName->value == name) {
                return child;
            }
        }
    }
    return std::nullopt;
}

std::vector<std::string> DescriptorIndex::childNames(size_t element) const {
    std::vector<std::string> names;
    for (size_t source : withBase(element)) {
        for (size_t child : document_.element(source).children) {
            const SourceAttribute* childName = document_.element(child).attribute("name");
            if (childName != nullptr) {
                names.push_back(childName->value);
            }
        }
    }
    return names;
}

std::optional<int> DescriptorIndex::graphId(size_t graph) const {
    const SourceAttribute* id = document_.element(graph).attribute("id");
    if (id == nullptr) {
        return std::nullopt;
    }
    return readInteger(id->value);
}

int readInteger(const std::string& text) {
    return VELT::numbers::truncatedInt32(text.c_str());
}

bool isWholeNumber(const std::string& text) {
    return VELT::numbers::strictInt32(text);
}

}  // namespace lint
}  // namespace velt_tool
