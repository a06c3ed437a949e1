// The inner kernel graph of the subgraph path, drawn from GraphUtil's
// analysis of a result graph.
#include <algorithm>
#include <map>

#include "cli_common.h"
#include "documents.h"
#include "dot_writer.h"
#include "kernel_lists.h"
#include "kernel_render.h"
#include "log_router.h"
#include "node_view.h"
#include "velt_graph_util.h"
#include "velt_item_uid.h"
#include "zo_log_common.h"

namespace velt_tool {

namespace {

struct NodeStyle {
    const char* shape;
    const char* kind;
};

NodeStyle styleOf(int32_t type) {
    switch (type) {
        case VELT::imaging_kernel:
            return {"box", "kernel"};
        case VELT::imaging_mux:
            return {"invtrapezium", "mux"};
        case VELT::imaging_demux:
            return {"trapezium", "demux"};
        case VELT::imaging_split:
            return {"diamond", "split"};
        case VELT::imaging_input_terminal:
            return {"ellipse", "input terminal"};
        case VELT::imaging_output_terminal:
            return {"ellipse", "output terminal"};
        default:
            return {"ellipse", "node"};
    }
}

// Node identifiers unique across subgraphs: "subgraph id/node name".
using NodeIds = std::map<const VELT::BaseGraphNode*, std::string>;

NodeIds nodeIdsOf(const VELT::GraphUtil& analysis) {
    NodeIds ids;
    for (const auto& subgraph : analysis.mSubGraphs) {
        for (const auto& node : subgraph.second->imagingNodes) {
            ids[node.second.get()] = std::to_string(subgraph.first) + "/" + node.first;
        }
    }
    return ids;
}

void writeNode(const std::string& id, const std::string& name, const VELT::ImagingNode& node,
               std::ostream& out) {
    NodeStyle style = styleOf(node.type);
    std::vector<std::string> lines = {name, style.kind};
    std::string look = "style=filled, fillcolor=white";
    if (node.type == VELT::imaging_kernel) {
        lines.push_back("uuid " + std::to_string(node.runKernel.kernel_uuid) + ", " +
                        enableName(node.runKernel.enable));
        const zo_isp_qel_run_kernels* record = node.pekRunKernel;
        // The history traversal gives every node it reaches the source's
        // input size; a node it never reached keeps an empty history.
        bool reached = node.resHistory.input_width != 0;
        if (record != nullptr && reached) {
            if (record->resolution_history != nullptr) {
                lines.push_back("in " + historyLabel(*record->resolution_history));
            }
            for (uint32_t i = 0; record->resolution_info != nullptr && i < record->output_count;
                 ++i) {
                lines.push_back(resolutionText(record->resolution_info[i]));
            }
        } else {
            lines.push_back("not reached");
        }
        look = kernelStyle(node.runKernel.enable, reached);
    }
    out << "        " << dotQuote(id) << " [shape=" << style.shape
        << ", label=" << dotQuote(dotLabel(lines)) << ", " << look << "];\n";
}

// One cluster per subgraph; subgraph -1 gathers the blocks without a stream.
void writeCluster(int id, const VELT::SubGraphInfo& info, NodeIds& ids, std::ostream& out) {
    std::string title = id < 0 ? "no stream" : "subgraph " + std::to_string(id);
    out << "    subgraph " << dotClusterId("subgraph_" + std::to_string(id)) << " {\n"
        << "        label="
        << dotQuote(dotLabel({title, std::to_string(info.kernelCount) + " kernels, tuning mode " +
                                         std::to_string(info.tuningMode)}))
        << ";\n"
        << "        style=\"rounded,filled\";\n"
        << "        fillcolor=whitesmoke;\n";
    for (const auto& entry : info.imagingNodes) {
        writeNode(ids[entry.second.get()], entry.first, *entry.second, out);
    }
    out << "    }\n";
}

// The links inside every subgraph, labelled with their ports.
void writeInnerLinks(const VELT::GraphUtil& analysis, NodeIds& ids, std::ostream& out) {
    for (const auto& subgraph : analysis.mSubGraphs) {
        for (const auto& entry : subgraph.second->imagingNodes) {
            for (const auto& child : entry.second->children) {
                auto target = ids.find(child.first);
                if (target != ids.end()) {
                    out << "    " << dotQuote(ids[entry.second.get()]) << " -> "
                        << dotQuote(target->second) << " [label=" << dotQuote(child.second)
                        << "];\n";
                }
            }
        }
    }
}

// Dashed links from an output terminal to the input terminal of another
// subgraph that its port's "peer" names.
void writeCrossLinks(const VELT::GraphUtil& analysis, NodeIds& ids, std::ostream& out) {
    std::map<std::string, std::string> outputTerminals;  // "block:port" -> node id
    for (const auto& subgraph : analysis.mSubGraphs) {
        for (const auto& entry : subgraph.second->imagingNodes) {
            if (entry.second->type == VELT::imaging_output_terminal) {
                outputTerminals[entry.first] = ids[entry.second.get()];
            }
        }
    }
    for (const auto& subgraph : analysis.mSubGraphs) {
        for (const auto& entry : subgraph.second->imagingNodes) {
            const VELT::ImagingNode& node = *entry.second;
            if (node.type != VELT::imaging_input_terminal || node.node == nullptr) {
                continue;
            }
            auto source = outputTerminals.find(textAttribute(*node.node, "peer").value_or(""));
            if (source != outputTerminals.end()) {
                out << "    " << dotQuote(source->second) << " -> " << dotQuote(ids[&node])
                    << " [style=dashed];\n";
            }
        }
    }
}

}  // namespace

void renderInnerGraphDot(const VELT::IGraphConfig& graph, const std::string& title,
                         std::ostream& out) {
    if (!usesSubgraphPath(graph)) {
        throw ToolError(
            "--format dot draws the inner kernel graph of the subgraph analysis (generation 6 "
            "and later, or program groups with \"klink\"); this graph uses execution-context "
            "lists: use --format table or json",
            kExitFailed);
    }
    VELT::GraphUtil analysis;
    {
        LogCapture messages(ZO_LOG_ERROR | ZO_LOG_WARNING);
        int status =
            analysis.init(VELT::ItemUID::str2key("stream_id"), &graph,
                          static_cast<VELT::GdfVersion>(std::max(graphGeneration(graph), 6)));
        if (status != 0) {
            throw failedStep("the subgraph analysis", status, messages.messages());
        }
    }
    NodeIds ids = nodeIdsOf(analysis);
    out << "digraph inner_kernel_graph {\n"
        << "    label=" << dotQuote("inner kernel graph of " + title) << ";\n"
        << "    labelloc=t;\n"
        << "    rankdir=LR;\n"
        << "    node [fontname=\"Helvetica\", fontsize=10];\n"
        << "    edge [fontname=\"Helvetica\", fontsize=9];\n";
    for (const auto& subgraph : analysis.mSubGraphs) {
        writeCluster(subgraph.first, *subgraph.second, ids, out);
    }
    writeInnerLinks(analysis, ids, out);
    writeCrossLinks(analysis, ids, out);
    writeKernelLegend({{"", "inner link (port)"}, {"style=dashed", "between subgraphs"}}, out);
    out << "}\n";
}

}  // namespace velt_tool
