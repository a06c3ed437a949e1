#include "inner_graph_helpers.h"

#include "velt_keys.h"

namespace zovesk_test {

VELT::ImagingNode* InnerGraph::add(const std::string& key, VELT::ImagingNodeType type) {
    auto node = std::make_shared<VELT::ImagingNode>();
    node->name = key;
    node->type = type;
    if (type == VELT::imaging_kernel)
        node->runKernel.enable = kernel_enable_enabled;
    sg.imagingNodes[key] = node;
    return node.get();
}

VELT::ImagingNode* InnerGraph::addTerminal(const std::string& key, VELT::ImagingNodeType type,
                                           int enabled) {
    VELT::ImagingNode* terminal = add(key, type);
    ports_.push_back(std::make_unique<VELT::GraphConfigNode>());
    if (enabled >= 0)
        ports_.back()->addValue(VELT::kKeyEnabled, enabled);
    terminal->node = ports_.back().get();
    return terminal;
}

void InnerGraph::link(VELT::ImagingNode* from, VELT::ImagingNode* to, const std::string& fromPort,
                      const std::string& toPort) {
    from->children.emplace(to, fromPort);
    to->parents.emplace(from, toPort);
}

}  // namespace zovesk_test
