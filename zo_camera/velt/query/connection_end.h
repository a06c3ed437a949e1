// The two ends of a descriptor connection ("node" or "node:port") and the
// "peer" attributes that join them in a result graph.
#ifndef ZO_CAMERA_VELT_QUERY_CONNECTION_END_H
#define ZO_CAMERA_VELT_QUERY_CONNECTION_END_H

#include <string>

#include "velt_graph_config_node.h"

namespace VELT {

class GraphQueryManager;

// One end of a connection: the block key and the port key. A port name that the dictionary
// lacks has key 0 but still names a port, one that no block has.
struct ConnectionEnd {
    explicit ConnectionEnd(const std::string& text);

    bool hasPort() const { return namesPort; }
    const char* nodeName() const;
    const char* portName() const;

    unsigned nodeKey = 0;
    unsigned portKey = 0;
    bool namesPort = false;
};

// The descriptor's "nodes" node, or null after logging that it is missing.
IGraphConfig* findDescriptorNodes(const IGraphConfig* descriptor);

// The result graph's block for the node an end names, copied from the descriptor's nodes on
// first use. Null, after logging "Failed to copy <role> node(...)", when it cannot be copied;
// role is "src" or "dst".
GraphConfigNode* copyConnectionEndBlock(GraphQueryManager& manager, IGraphConfig* nodes,
                                        const ConnectionEnd& end, const char* role,
                                        GraphConfigNode* result);

// The item of a copied block that a connection end stands for: the named port, or the block
// itself when the end names no port. Null, after logging, when the block lacks the port.
GraphConfigNode* findConnectionEndItem(GraphConfigNode* block, const ConnectionEnd& end);

// Writes "peer" = peerText on the source item and "peer" = sourceText on the destination
// item. An item connected more than once gets one more "peer" per connection.
int linkConnectionEnds(GraphConfigNode* sourceItem, const ConnectionEnd& source,
                       GraphConfigNode* destinationItem, const ConnectionEnd& destination,
                       const std::string& peerText, const std::string& sourceText);

// Finds the items both ends stand for in their copied blocks and links them as
// linkConnectionEnds does. err_general when either block lacks its port.
int linkConnectionBlocks(GraphConfigNode* sourceBlock, const ConnectionEnd& source,
                         GraphConfigNode* destinationBlock, const ConnectionEnd& destination,
                         const std::string& peerText, const std::string& sourceText);

}  // namespace VELT

#endif
