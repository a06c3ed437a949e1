// Subgraph blocks by subgraph, and the searches for the ports that enter or
// leave a subgraph.
#include "zo_camera/velt/access/subgraph_blocks.h"

#include <string>

#include "velt_graph_camera_util.h"
#include "velt_item_uid.h"
#include "velt_node_iterator.h"
#include "velt_status.h"
#include "zo_camera/velt/access/graph_access_helpers.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo/zo_log_wanted.h"

namespace VELT {

namespace {

// Whether a port of a subgraph block leads out of the subgraph.
bool leavesSubgraph(const IGraphConfig* port, int direction, unsigned key, int value,
                    unsigned typeKey) {
    IGraphConfig* peer = nullptr;
    if (GraphCameraUtil::portGetPeer(port, &peer) != 0) {
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "%s: no peer found for port %s", "getSubgraphPorts",
                      port->getName().c_str());
        return true;
    }
    ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "%s: peer for %s is %s", "getSubgraphPorts",
                  port->getName().c_str(), peer->getName().c_str());
    if (direction == 1 && hasTypeName(peer, "sink")) {
        return true;
    }
    const IGraphConfig* peerBlock = peer->getAncestor();
    if (!hasTypeName(peerBlock, ItemUID::key2str(typeKey))) {
        return true;
    }
    int peerValue = 0;
    if (peerBlock->getValue(key, peerValue) != 0) {
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "%s: no %s for peer %s", "getSubgraphPorts",
                      ItemUID::key2str(key), GraphCameraUtil::print(peer).c_str());
        return false;
    }
    return peerValue != value;
}

}  // namespace

void appendSourceOutputPorts(const std::vector<IGraphConfig*>& sources, unsigned key, int value,
                             unsigned typeKey, std::vector<IGraphConfig*>& ports) {
    const std::string typeName = ItemUID::key2str(typeKey);
    for (IGraphConfig* source : sources) {
        NodeIterator portIt(source);
        for (IGraphConfig* port = portIt.iterateByType(kKeyPort); port != nullptr;
             port = portIt.iterateByType(kKeyPort)) {
            IGraphConfig* peer = nullptr;
            if (GraphCameraUtil::portGetPeer(port, &peer) != 0) {
                ZO_MODULE_LOG(
                    ZO_LOG_DEBUG, velt,
                    "Source port %s has no peer found. Added to list of subgraph output ports",
                    port->getName().c_str());
                ports.push_back(port);
                continue;
            }
            IGraphConfig* peerBlock = peer->getAncestor();
            if (peerBlock == nullptr) {
                continue;
            }
            if (!hasTypeName(peerBlock, typeName)) {
                // A block between the source and the subgraph, such as a
                // receiver: its outputs are what the subgraph sees.
                NodeIterator blockIt(peerBlock);
                for (IGraphConfig* blockPort = blockIt.iterateByType(kKeyPort);
                     blockPort != nullptr; blockPort = blockIt.iterateByType(kKeyPort)) {
                    if (intOr(*blockPort, kKeyDirection, 0) == 1) {
                        ports.push_back(blockPort);
                    }
                }
                continue;
            }
            int pgValue = 0;
            if (peerBlock->getValue(key, pgValue) != 0) {
                ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                              "PG %s does not have stream id or exec ctx- FIX it!",
                              peerBlock->getName().c_str());
                continue;
            }
            if (pgValue == value) {
                continue;
            }
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Source port %s crosses Subgraph boundary (%d)->(%d)",
                          port->getName().c_str(), value, pgValue);
            ports.push_back(port);
        }
    }
}

SubgraphBlocks::SubgraphBlocks(unsigned key, unsigned typeKey, const IGraphConfig& graph)
    : key_(key), typeKey_(typeKey), sources_(sourcesOf(graph)) {
    NodeIterator blockIt(&graph);
    for (IGraphConfig* block = blockIt.iterateByType(typeKey); block != nullptr;
         block = blockIt.iterateByType(typeKey)) {
        int value = 0;
        const Status status = block->getValue(key, value);
        if (status == err_none) {
            blocks_[value].push_back(block);
        } else if (firstUnreadable_ == nullptr) {
            firstUnreadable_ = block;
            firstUnreadableStatus_ = status;
            for (const auto& entry : blocks_) {
                countsBeforeUnreadable_.emplace(entry.first, entry.second.size());
            }
        }
    }
}

size_t SubgraphBlocks::countBeforeUnreadable(int value) const {
    if (firstUnreadable_ == nullptr) {
        return withValue(value).size();
    }
    const auto found = countsBeforeUnreadable_.find(value);
    return found == countsBeforeUnreadable_.end() ? 0 : found->second;
}

const std::vector<IGraphConfig*>& SubgraphBlocks::withValue(int value) const {
    static const std::vector<IGraphConfig*> none;
    const auto found = blocks_.find(value);
    return found == blocks_.end() ? none : found->second;
}

std::vector<IGraphConfig*> subgraphBlocksOf(unsigned key, int value, unsigned typeKey,
                                            const IGraphConfig& graph) {
    std::vector<IGraphConfig*> blocks;
    appendChildrenOfType(graph, typeKey, blocks, [key, value](const IGraphConfig& block) {
        int blockValue = 0;
        return block.getValue(key, blockValue) == 0 && blockValue == value;
    });
    return blocks;
}

std::vector<IGraphConfig*> sourcesOf(const IGraphConfig& graph) {
    std::vector<IGraphConfig*> sources;
    appendChildrenOfType(graph, kKeySource, sources, [](const IGraphConfig&) { return true; });
    return sources;
}

void appendSubgraphPorts(const std::vector<IGraphConfig*>& blocks, unsigned key, int value,
                         int direction, unsigned typeKey, std::vector<IGraphConfig*>& ports) {
    for (IGraphConfig* block : blocks) {
        NodeIterator portIt(block);
        for (IGraphConfig* port = portIt.iterateByType(kKeyPort); port != nullptr;
             port = portIt.iterateByType(kKeyPort)) {
            if (GraphCameraUtil::portGetDirection(port) == direction &&
                leavesSubgraph(port, direction, key, value, typeKey)) {
                ports.push_back(port);
            }
        }
    }
}

int firstInputPortWithPeer(const std::vector<IGraphConfig*>& inputPorts, IGraphConfig** port) {
    if (inputPorts.empty()) {
        return err_argument;
    }
    int status = err_argument;
    for (IGraphConfig* candidate : inputPorts) {
        IGraphConfig* peer = nullptr;
        status = GraphCameraUtil::portGetPeer(candidate, &peer);
        if (status == 0) {
            *port = candidate;
            return err_none;
        }
    }
    return status;
}

int subgraphInputPort(const SubgraphBlocks& blocks, int value, IGraphConfig** port) {
    std::vector<IGraphConfig*> inputPorts;
    appendSubgraphPorts(blocks.withValue(value), blocks.key(), value, 0, blocks.typeKey(),
                        inputPorts);
    return firstInputPortWithPeer(inputPorts, port);
}

int subgraphOutputPorts(const SubgraphBlocks& blocks, int value,
                        std::vector<IGraphConfig*>& ports) {
    ports.clear();
    appendSubgraphPorts(blocks.withValue(value), blocks.key(), value, 1, blocks.typeKey(), ports);
    if (ports.empty()) {
        appendSourceOutputPorts(blocks.sources(), blocks.key(), value, blocks.typeKey(), ports);
    }
    return ports.empty() ? err_argument : err_none;
}

}  // namespace VELT
