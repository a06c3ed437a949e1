// The inner graph of a subgraph: kernels, routing nodes and terminals linked
// by the "klink" elements of its program groups and by the graph connections
// between program groups of the subgraph.
#include <algorithm>
#include <memory>
#include <string>

#include "velt_graph_camera_util.h"
#include "velt_graph_util.h"
#include "velt_item_uid.h"
#include "velt_qel_pek_utils.h"
#include "zo_camera/velt/analysis/connection_index.h"
#include "zo_camera/velt/analysis/graph_util_common.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_wanted.h"

namespace VELT {

using namespace analysis;

std::string KernelLink::toStr() const {
    return srcNode + ":" + srcPort + "->" + dstNode + ":" + dstPort;
}

namespace {

// The terminal stored for a program-group port, made on first use. A port named
// again (by a second klink or the source pass) reuses its terminal, so every node
// that a link points to stays the one owned by imagingNodes.
ImagingNode* terminalFor(SubGraphInfo& sg, IGraphConfig* port, ImagingNodeType type) {
    const std::string name = GraphCameraUtil::getFullName(*port);
    auto found = sg.imagingNodes.find(name);
    if (found != sg.imagingNodes.end())
        return found->second.get();
    auto terminal = std::make_shared<ImagingNode>();
    terminal->type = type;
    terminal->node = port;
    terminal->name = name;
    sg.imagingNodes.emplace(name, terminal);
    return terminal.get();
}

ImagingNode* findInner(SubGraphInfo& sg, const std::string& key) {
    const auto found = sg.imagingNodes.find(key);
    return found == sg.imagingNodes.end() ? nullptr : found->second.get();
}

}  // namespace

int GraphUtil::collectPgInnerGraph(SubGraphInfo& sg, IGraphConfig& pg) {
    return guardStatus(__func__, err_internal, [&]() -> int {
        const std::string pgName = pg.getName();
        NodeIterator children(&pg);
        while (IGraphConfig* kernel = children.iterateByType(kKeyKernel)) {
            ++sg.kernelCount;
            const int status = addImagingNode(sg, *kernel, pgName);
            if (status != 0)
                return status;
        }
        const std::pair<unsigned, ImagingNodeType> routing[] = {
            {kKeyMux, imaging_mux}, {kKeyDemux, imaging_demux}, {kKeySplit, imaging_split}};
        for (const auto& kind : routing) {
            NodeIterator nodes(&pg);
            while (IGraphConfig* node = nodes.iterateByType(kind.first)) {
                const int status = addRoutingNode(sg, *node, kind.second, pgName);
                if (status != 0)
                    return status;
            }
        }
        NodeIterator klinks(&pg);
        while (IGraphConfig* klink = klinks.iterateByUid(kKeyKlink)) {
            const int status = addImagingLink(sg, *klink, pg);
            if (status != 0)
                return status;
        }
        return 0;
    });
}

int GraphUtil::addImagingNode(SubGraphInfo& sg, IGraphConfig& kernel, std::string pgName) {
    return guardStatus(__func__, err_internal, [&]() -> int {
        auto node = std::make_shared<ImagingNode>();
        node->type = imaging_kernel;
        node->node = &kernel;

        int palUuid = 0;
        int enable = 1;
        int rcb = 0;
        if (QelPekUtils::kernelGetValues(&kernel, &palUuid, nullptr, node->runKernel.metadata,
                                         &enable, &rcb, nullptr, nullptr, nullptr) != 0) {
            zo_log_common_debug(ZO_LOG_ERROR, kTag,
                                "Failed to retrieve kernel info from IGraphConfig");
            return err_data;
        }
        node->runKernel.enable = enable;
        if (rcb != 0)
            node->flags |= imaging_flag_rcb;
        QelPekUtils::kernelGetBppInfo(kernel, node->runKernel);
        node->runKernel.stream_id = static_cast<uint32_t>(sg.streamId);
        node->runKernel.kernel_uuid = static_cast<uint32_t>(palUuid);

        kernel.getValue(kKeyName, node->name);
        if (!sg.imagingNodes.emplace(pgName + ":" + node->name, node).second) {
            zo_log_common_debug(ZO_LOG_ERROR, kTag, "Imaging node %s insertion failed",
                                node->name.c_str());
            return err_data;
        }
        zo_log_common_debug(ZO_LOG_DEBUG, kTag, "Added Imaging node %s uuid %d rcb %d",
                            node->name.c_str(), palUuid, rcb);
        return 0;
    });
}

int GraphUtil::addRoutingNode(SubGraphInfo& sg, IGraphConfig& node, ImagingNodeType type,
                              std::string pgName) {
    return guardStatus(__func__, err_internal, [&]() -> int {
        auto routing = std::make_shared<ImagingNode>();
        routing->type = type;
        routing->node = &node;
        node.getValue(kKeyName, routing->name);

        if (type == imaging_mux || type == imaging_demux) {
            const unsigned key = type == imaging_mux ? kKeyActiveInput : kKeyActiveOutput;
            if (node.getValue(key, routing->activePath) != 0) {
                routing->activePath = -1;
                zo_log_common_debug(ZO_LOG_WARNING, kTag,
                                    "Failed to get Active routing path for  %s",
                                    routing->name.c_str());
            }
        }
        if (!sg.imagingNodes.emplace(pgName + ":" + routing->name, routing).second) {
            zo_log_common_debug(ZO_LOG_ERROR, kTag, "routing node %s insertion failed ",
                                routing->name.c_str());
            return err_data;
        }
        zo_log_common_debug(ZO_LOG_DEBUG, kTag, "Added routing node %s", routing->name.c_str());
        return 0;
    });
}

int GraphUtil::addImagingLink(SubGraphInfo& sg, IGraphConfig& klink, IGraphConfig& pg) {
    return guardStatus(__func__, err_internal, [&]() -> int {
        KernelLink link;
        const auto source = splitEnd(strOr(klink, kKeySource), false);
        const auto destination = splitEnd(strOr(klink, kKeyDestination), false);
        link.srcNode = source.first;
        link.srcPort = source.second;
        link.dstNode = destination.first;
        link.dstPort = destination.second;
        const std::string pgName = pg.getName();
        const int generation = static_cast<int>(mOrbaVersion);

        ImagingNode* upstream = nullptr;
        if (!link.srcPort.empty()) {
            ImagingNode* node = findInner(sg, pgName + ":" + link.srcNode);
            if (node == nullptr) {
                zo_log_common_debug(ZO_LOG_ERROR, kTag,
                                    "Failed to find Imaging Node %s named in klink in the list of "
                                    "nodes. Inconsistent graph",
                                    link.srcNode.c_str());
                return err_data;
            }
            if (node->type == imaging_demux && std::to_string(node->activePath) != link.srcPort) {
                if (generation <= 6)
                    zo_log_common_debug(ZO_LOG_WARNING, kTag,
                                        "Found klink from a demux non active output %s- FIX your "
                                        "GDF!! use the VANTOR oficial version",
                                        link.toStr().c_str());
            } else {
                upstream = node;
            }
        } else {
            IGraphConfig* port = pg.getDescendant(ItemUID(link.srcNode));
            if (port == nullptr) {
                zo_log_common_debug(ZO_LOG_ERROR, kTag, "Failed find port node %s from PG ",
                                    link.srcNode.c_str());
                return err_data;
            }
            upstream = terminalFor(sg, port, imaging_input_terminal);
            ZO_LOG_IF_WANTED(ZO_LOG_DEBUG, kTag, "Adding klink %s:%s  IgraphConfig %p",
                             GraphCameraUtil::print(port).c_str(),
                             GraphCameraUtil::print(&pg).c_str(), static_cast<void*>(port));
        }

        ImagingNode* downstream = nullptr;
        if (!link.dstPort.empty()) {
            downstream = findInner(sg, pgName + ":" + link.dstNode);
            if (downstream == nullptr) {
                zo_log_common_debug(ZO_LOG_ERROR, kTag,
                                    "Failed to find Imaging Node %s named in klink in the list of "
                                    "nodes. Inconsistent graph",
                                    link.dstNode.c_str());
                return err_data;
            }
            if (downstream->type == imaging_mux &&
                std::to_string(downstream->activePath) != link.dstPort) {
                if (generation >= 7) {
                    zo_log_common_debug(ZO_LOG_DEBUG, kTag, "Klink %s skipped due to mux config",
                                        link.toStr().c_str());
                    return 0;
                }
                zo_log_common_debug(ZO_LOG_ERROR, kTag,
                                    "Found klink to a mux non active input %s - incorrect GDF",
                                    link.toStr().c_str());
                return err_internal;
            }
        } else {
            IGraphConfig* port = pg.getDescendant(ItemUID(link.dstNode));
            if (port == nullptr) {
                zo_log_common_debug(ZO_LOG_ERROR, kTag, "Failed find port node %s from PG port",
                                    link.dstNode.c_str());
                return err_data;
            }
            downstream = terminalFor(sg, port, imaging_output_terminal);
        }

        if (upstream == nullptr) {
            zo_log_common_debug(ZO_LOG_DEBUG, kTag, "Klink %s skipped due to mux config",
                                link.toStr().c_str());
            return 0;
        }
        downstream->parents.emplace(upstream, link.dstPort);
        upstream->children.emplace(downstream, link.srcPort);
        zo_log_common_debug(ZO_LOG_DEBUG, kTag, "Addded link %s", link.toStr().c_str());
        return 0;
    });
}

int GraphUtil::collectSourceInnerGraph(SubGraphInfo& sg) {
    return guardStatus(__func__, err_internal, [&]() -> int {
        zo_log_common_debug(ZO_LOG_DEBUG, kTag, "Collecting source output port");
        for (IGraphConfig* port : sg.outputPorts) {
            ImagingNode* terminal = terminalFor(sg, port, imaging_output_terminal);
            zo_log_common_debug(ZO_LOG_DEBUG, kTag, "Collecting source output port %s",
                                terminal->name.c_str());
        }
        return 0;
    });
}

int GraphUtil::collectInterPgConnections(SubGraphInfo& sg) {
    return guardStatus(__func__, err_internal, [&]() -> int {
        if (mGraphSettings == nullptr)
            return err_internal;
        IGraphConfig* graph = mGraphSettings->getDescendant(kKeyGraph);
        if (graph == nullptr)
            return err_data;
        const ConnectionIndex connections(connectionsOf(*graph));
        return interPgConnections(sg, &connections);
    });
}

int GraphUtil::interPgConnections(SubGraphInfo& sg, const ConnectionIndex* connections) {
    if (mGraphSettings == nullptr)
        return err_internal;
    if (connections == nullptr)
        return err_data;
    // The connections leaving any inner node of this subgraph, in the
    // graph's order.
    std::vector<size_t> leaving;
    for (const auto& entry : sg.imagingNodes) {
        const std::vector<size_t>& positions = connections->from(entry.first);
        leaving.insert(leaving.end(), positions.begin(), positions.end());
    }
    std::sort(leaving.begin(), leaving.end());
    for (const size_t position : leaving) {
        const std::string& source = connections->at(position).source;
        const std::string& sink = connections->at(position).sink;
        ImagingNode* from = findInner(sg, source);
        ImagingNode* to = findInner(sg, sink);
        if (from == nullptr || to == nullptr)
            continue;
        zo_log_common_debug(ZO_LOG_DEBUG, kTag,
                            "Adding internal connection to Imaging graph %s->%s", source.c_str(),
                            sink.c_str());
        from->children.emplace(to, sink);
        to->parents.emplace(from, source);
        if (splitEnd(source, true).first == splitEnd(sink, true).first) {
            from->flags |= imaging_flag_loop_terminal;
            to->flags |= imaging_flag_loop_terminal;
        }
    }
    return 0;
}

int GraphUtil::getUnvisitedInputPortsPeers(SubGraphInfo& sg, std::vector<ImagingNode*>& nodes) {
    return guardStatus(__func__, err_internal, [&]() -> int {
        for (const auto& entry : sg.imagingNodes) {
            ImagingNode* node = entry.second.get();
            std::string peer;
            if (node->type == imaging_input_terminal && !node->visited && node->node != nullptr &&
                node->node->getValue(kKeyPeer, peer) == 0)
                nodes.push_back(node);
        }
        return 0;
    });
}

}  // namespace VELT
