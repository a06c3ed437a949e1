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
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/kernel_lists/subgraph/connection_index.h"
#include "zo_camera/velt/kernel_lists/subgraph/graph_util_common.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"
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
    if (found != sg.imagingNodes.end()) {
        return found->second.get();
    }
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

// A "klink" element: "source" and "destination" split at their first colon.
KernelLink parseKernelLink(const IGraphConfig& klink) {
    const auto source = splitEnd(strOr(klink, kKeySource), false);
    const auto destination = splitEnd(strOr(klink, kKeyDestination), false);
    KernelLink link;
    link.srcNode = source.first;
    link.srcPort = source.second;
    link.dstNode = destination.first;
    link.dstPort = destination.second;
    return link;
}

// The program group's port a klink end names, or null after logging missingFormat.
__attribute__((format(printf, 3, 0))) IGraphConfig* klinkPort(IGraphConfig& pg,
                                                              const std::string& portName,
                                                              const char* missingFormat) {
    IGraphConfig* port = pg.getDescendant(ItemUID(portName));
    if (port == nullptr) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, missingFormat, portName.c_str());
    }
    return port;
}

// The inner node of the program group a klink end names, or null after logging.
ImagingNode* klinkInnerNode(SubGraphInfo& sg, const std::string& pgName,
                            const std::string& nodeName) {
    ImagingNode* node = findInner(sg, pgName + ":" + nodeName);
    if (node == nullptr) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                      "Failed to find Imaging Node %s named in klink in the list of "
                      "nodes. Inconsistent graph",
                      nodeName.c_str());
    }
    return node;
}

// The node the klink leaves: an inner node, or an input terminal for a bare
// port name. Null (with status 0) when it leaves through an inactive demux output.
Status klinkUpstream(SubGraphInfo& sg, const KernelLink& link, IGraphConfig& pg,
                     GdfVersion generation, ImagingNode*& upstream) {
    upstream = nullptr;
    if (link.srcPort.empty()) {
        IGraphConfig* port = klinkPort(pg, link.srcNode, "Failed find port node %s from PG ");
        if (port == nullptr) {
            return err_data;
        }
        upstream = terminalFor(sg, port, imaging_input_terminal);
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Adding klink %s:%s  IgraphConfig %p",
                      GraphCameraUtil::print(port).c_str(), GraphCameraUtil::print(&pg).c_str(),
                      static_cast<void*>(port));
        return err_none;
    }
    ImagingNode* node = klinkInnerNode(sg, pg.getName(), link.srcNode);
    if (node == nullptr) {
        return err_data;
    }
    if (node->type != imaging_demux || std::to_string(node->activePath) == link.srcPort) {
        upstream = node;
    } else if (generation <= kGdfVersionOrba6) {
        ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                      "Found klink from a demux non active output %s- FIX your "
                      "GDF!! use the VANTOR oficial version",
                      link.toStr().c_str());
    }
    return err_none;
}

// The node the klink enters: an inner node, or an output terminal for a bare
// port name. Null (with status 0) when it enters an inactive mux input on a
// generation that skips such links.
Status klinkDownstream(SubGraphInfo& sg, const KernelLink& link, IGraphConfig& pg,
                       GdfVersion generation, ImagingNode*& downstream) {
    downstream = nullptr;
    if (link.dstPort.empty()) {
        IGraphConfig* port = klinkPort(pg, link.dstNode, "Failed find port node %s from PG port");
        if (port == nullptr) {
            return err_data;
        }
        downstream = terminalFor(sg, port, imaging_output_terminal);
        return err_none;
    }
    ImagingNode* node = klinkInnerNode(sg, pg.getName(), link.dstNode);
    if (node == nullptr) {
        return err_data;
    }
    if (node->type != imaging_mux || std::to_string(node->activePath) == link.dstPort) {
        downstream = node;
        return err_none;
    }
    if (generation >= kGdfVersionOrba7) {
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Klink %s skipped due to mux config",
                      link.toStr().c_str());
        return err_none;
    }
    ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Found klink to a mux non active input %s - incorrect GDF",
                  link.toStr().c_str());
    return err_internal;
}

}  // namespace

Status GraphUtil::collectPgInnerGraph(SubGraphInfo& sg, IGraphConfig& pg) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        const std::string pgName = pg.getName();
        NodeIterator children(&pg);
        while (IGraphConfig* kernel = children.iterateByType(kKeyKernel)) {
            ++sg.kernelCount;
            const Status status = addImagingNode(sg, *kernel, pgName);
            if (status != err_none) {
                return status;
            }
        }
        const std::pair<unsigned, ImagingNodeType> routing[] = {
            {kKeyMux, imaging_mux}, {kKeyDemux, imaging_demux}, {kKeySplit, imaging_split}};
        for (const auto& kind : routing) {
            NodeIterator nodes(&pg);
            while (IGraphConfig* node = nodes.iterateByType(kind.first)) {
                const Status status = addRoutingNode(sg, *node, kind.second, pgName);
                if (status != err_none) {
                    return status;
                }
            }
        }
        NodeIterator klinks(&pg);
        while (IGraphConfig* klink = klinks.iterateByUid(kKeyKlink)) {
            const Status status = addImagingLink(sg, *klink, pg);
            if (status != err_none) {
                return status;
            }
        }
        return err_none;
    });
}

Status GraphUtil::addImagingNode(SubGraphInfo& sg, IGraphConfig& kernel, std::string pgName) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        auto node = std::make_shared<ImagingNode>();
        node->type = imaging_kernel;
        node->node = &kernel;

        int palUuid = 0;
        int enable = 1;
        int rcb = 0;
        if (QelPekUtils::kernelGetValues(&kernel, &palUuid, nullptr, node->runKernel.metadata,
                                         &enable, &rcb, nullptr, nullptr, nullptr) != err_none) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to retrieve kernel info from IGraphConfig");
            return err_data;
        }
        node->runKernel.enable = enable;
        if (rcb != 0) {
            node->flags |= imaging_flag_rcb;
        }
        // Unreadable bpp values stay 0: they do not keep the kernel out of the graph.
        (void)QelPekUtils::kernelGetBppInfo(kernel, node->runKernel);
        node->runKernel.stream_id = static_cast<uint32_t>(sg.streamId);
        node->runKernel.kernel_uuid = static_cast<uint32_t>(palUuid);

        // A kernel without a name is still added, under "<program group>:".
        (void)kernel.getValue(kKeyName, node->name);
        if (!sg.imagingNodes.emplace(pgName + ":" + node->name, node).second) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Imaging node %s insertion failed",
                          node->name.c_str());
            return err_data;
        }
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Added Imaging node %s uuid %d rcb %d",
                      node->name.c_str(), palUuid, rcb);
        return err_none;
    });
}

Status GraphUtil::addRoutingNode(SubGraphInfo& sg, IGraphConfig& node, ImagingNodeType type,
                                 std::string pgName) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        auto routing = std::make_shared<ImagingNode>();
        routing->type = type;
        routing->node = &node;
        // A routing node without a name is still added, under "<program group>:".
        (void)node.getValue(kKeyName, routing->name);

        if (type == imaging_mux || type == imaging_demux) {
            const unsigned key = type == imaging_mux ? kKeyActiveInput : kKeyActiveOutput;
            if (node.getValue(key, routing->activePath) != err_none) {
                routing->activePath = -1;
                ZO_MODULE_LOG(ZO_LOG_WARNING, velt, "Failed to get Active routing path for  %s",
                              routing->name.c_str());
            }
        }
        if (!sg.imagingNodes.emplace(pgName + ":" + routing->name, routing).second) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "routing node %s insertion failed ",
                          routing->name.c_str());
            return err_data;
        }
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Added routing node %s", routing->name.c_str());
        return err_none;
    });
}

Status GraphUtil::addImagingLink(SubGraphInfo& sg, IGraphConfig& klink, IGraphConfig& pg) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        const KernelLink link = parseKernelLink(klink);
        ImagingNode* upstream = nullptr;
        Status status = klinkUpstream(sg, link, pg, mOrbaVersion, upstream);
        if (status != err_none) {
            return status;
        }
        ImagingNode* downstream = nullptr;
        status = klinkDownstream(sg, link, pg, mOrbaVersion, downstream);
        if (status != err_none || downstream == nullptr) {
            // An inactive mux input was logged already.
            return status;
        }
        if (upstream == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Klink %s skipped due to mux config",
                          link.toStr().c_str());
            return err_none;
        }
        downstream->parents.emplace(upstream, link.dstPort);
        upstream->children.emplace(downstream, link.srcPort);
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Addded link %s", link.toStr().c_str());
        return err_none;
    });
}

Status GraphUtil::collectSourceInnerGraph(SubGraphInfo& sg) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Collecting source output port");
        for (IGraphConfig* port : sg.outputPorts) {
            ImagingNode* terminal = terminalFor(sg, port, imaging_output_terminal);
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Collecting source output port %s",
                          terminal->name.c_str());
        }
        return err_none;
    });
}

Status GraphUtil::collectInterPgConnections(SubGraphInfo& sg) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        if (mGraphSettings == nullptr) {
            return err_internal;
        }
        IGraphConfig* graph = mGraphSettings->getDescendant(kKeyGraph);
        if (graph == nullptr) {
            return err_data;
        }
        const ConnectionIndex connections(connectionsOf(*graph));
        return interPgConnections(sg, &connections);
    });
}

int GraphUtil::interPgConnections(SubGraphInfo& sg, const ConnectionIndex* connections) {
    if (mGraphSettings == nullptr) {
        return err_internal;
    }
    if (connections == nullptr) {
        return err_data;
    }
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
        if (from == nullptr || to == nullptr) {
            continue;
        }
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Adding internal connection to Imaging graph %s->%s",
                      source.c_str(), sink.c_str());
        from->children.emplace(to, sink);
        to->parents.emplace(from, source);
        if (splitEnd(source, true).first == splitEnd(sink, true).first) {
            from->flags |= imaging_flag_loop_terminal;
            to->flags |= imaging_flag_loop_terminal;
        }
    }
    return 0;
}

Status GraphUtil::getUnvisitedInputPortsPeers(SubGraphInfo& sg, std::vector<ImagingNode*>& nodes) {
    return guardStatus(__func__, err_internal, [&]() -> Status {
        for (const auto& entry : sg.imagingNodes) {
            ImagingNode* node = entry.second.get();
            std::string peer;
            if (node->type == imaging_input_terminal && !node->visited && node->node != nullptr &&
                node->node->getValue(kKeyPeer, peer) == err_none) {
                nodes.push_back(node);
            }
        }
        return err_none;
    });
}

}  // namespace VELT
