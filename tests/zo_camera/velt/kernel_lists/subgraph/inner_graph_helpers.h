// Inner graphs built by hand for the tests of the disabling passes and the
// history rules, with tree ports where a pass reads "enabled".
#ifndef ZOVESK_TESTS_INNER_GRAPH_HELPERS_H
#define ZOVESK_TESTS_INNER_GRAPH_HELPERS_H

#include <memory>
#include <string>
#include <vector>

#include "velt_graph_config_node.h"
#include "velt_graph_util.h"

namespace zovesk_test {

class InnerGraph {
  public:
    // Adds a node of the given type under key; kernels start enabled.
    VELT::ImagingNode* add(const std::string& key, VELT::ImagingNodeType type);
    // A terminal whose tree port has "enabled" = enabled (no attribute when negative).
    VELT::ImagingNode* addTerminal(const std::string& key, VELT::ImagingNodeType type, int enabled);
    // from -> to, through from's output port and to's input port.
    static void link(VELT::ImagingNode* from, VELT::ImagingNode* to,
                     const std::string& fromPort = "0", const std::string& toPort = "0");

    VELT::SubGraphInfo sg;

  private:
    std::vector<std::unique_ptr<VELT::GraphConfigNode>> ports_;
};

}  // namespace zovesk_test

#endif
