// The blocks of a graph that form subgraphs, grouped by subgraph, and the
// port searches over them. GraphCameraUtil's subgraph port accessors find the
// blocks of one subgraph by walking the graph; a builder that asks for the
// ports of every subgraph builds a SubgraphBlocks once and asks it instead.
#ifndef ZO_CAMERA_VELT_ACCESS_SUBGRAPH_BLOCKS_H
#define ZO_CAMERA_VELT_ACCESS_SUBGRAPH_BLOCKS_H

#include <cstddef>
#include <map>
#include <vector>

#include "velt_graph_config.h"
#include "velt_status.h"

namespace VELT {

// The children of a graph node whose type is typeKey's, by their integer
// under key (blocks without it belong to no subgraph), and its sources, all
// in stored order. It also keeps where the first block without a readable
// value sits, so that a walk that would stop there (the kernel-list fill of
// one context) can stop at the same block when it reads the index instead.
// Holds pointers into the graph, which must not change while the index is used.
class SubgraphBlocks {
  public:
    // Walks graph's children once.
    SubgraphBlocks(unsigned key, unsigned typeKey, const IGraphConfig& graph);

    unsigned key() const { return key_; }
    unsigned typeKey() const { return typeKey_; }
    // The blocks whose value under key is value.
    const std::vector<IGraphConfig*>& withValue(int value) const;
    // The children of type "source".
    const std::vector<IGraphConfig*>& sources() const { return sources_; }
    // The first block (in stored order) whose value under key does not read,
    // null when every block's does, and the status of that read.
    IGraphConfig* firstUnreadable() const { return firstUnreadable_; }
    Status firstUnreadableStatus() const { return firstUnreadableStatus_; }
    // How many of withValue(value) come before firstUnreadable(): all of
    // them when there is none.
    size_t countBeforeUnreadable(int value) const;

  private:
    unsigned key_;
    unsigned typeKey_;
    std::map<int, std::vector<IGraphConfig*>> blocks_;
    IGraphConfig* firstUnreadable_ = nullptr;
    Status firstUnreadableStatus_ = 0;
    // blocks_'s sizes when firstUnreadable_ was met.
    std::map<int, size_t> countsBeforeUnreadable_;
    std::vector<IGraphConfig*> sources_;
};

// The blocks of one subgraph, walking graph (what SubgraphBlocks::withValue holds).
std::vector<IGraphConfig*> subgraphBlocksOf(unsigned key, int value, unsigned typeKey,
                                            const IGraphConfig& graph);
// The children of type "source", walking graph (what SubgraphBlocks::sources holds).
std::vector<IGraphConfig*> sourcesOf(const IGraphConfig& graph);

// Appends the ports of blocks (one subgraph's) in one direction (0 input,
// 1 output) that connect the subgraph to the outside.
void appendSubgraphPorts(const std::vector<IGraphConfig*>& blocks, unsigned key, int value,
                         int direction, unsigned typeKey, std::vector<IGraphConfig*>& ports);
// Appends the source ports that feed a subgraph without output ports of its own.
void appendSourceOutputPorts(const std::vector<IGraphConfig*>& sources, unsigned key, int value,
                             unsigned typeKey, std::vector<IGraphConfig*>& ports);
// Stores in *port the first of inputPorts that has a usable peer: 0, -32 for no input
// ports, else the peer failure of the last port tried (*port untouched then).
int firstInputPortWithPeer(const std::vector<IGraphConfig*>& inputPorts, IGraphConfig** port);

// GraphCameraUtil::getInputPort and getOutputPorts over an index.
int subgraphInputPort(const SubgraphBlocks& blocks, int value, IGraphConfig** port);
int subgraphOutputPorts(const SubgraphBlocks& blocks, int value, std::vector<IGraphConfig*>& ports);

}  // namespace VELT

#endif
