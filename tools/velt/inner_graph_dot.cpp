// The inner kernel graph of the subgraph path, drawn from GraphUtil's
// analysis of a result graph.
#include <map>

#include "cli_common.h"
#include "documents.h"
#include "dot_writer.h"
#include "kernel_lists.h"
#include "kernel_render.h"
#include "log_router.h"
#include "node_view.h"
#include "velt_graph_util.h"
#include "velt_qel_pek_utils.h"
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

// Node identifiers unique across subgraphs: "subgraph id/node key".
std::string nodeId(const VELT::SubgraphView& subgraph, const std::string& key) {
    return std::to_string(subgraph.id()) + "/" + key;
}

void writeNode(const std::string& id, const std::string& name, const VELT::InnerNodeView& node,
               std::ostream& out) {
    NodeStyle style = styleOf(node.type());
    std::vector<std::string> lines = {name, style.kind};
    std::string look = "style=filled, fillcolor=white";
    if (node.type() == VELT::imaging_kernel) {
        const zo_isp_qel_run_kernels& settings = node.settings();
        lines.push_back("uuid " + std::to_string(settings.kernel_uuid) + ", " +
                        enableName(settings.enable));
        const zo_isp_qel_run_kernels* record = node.record();
        // The history traversal gives every node it reaches the source's
        // input size; a node it never reached keeps an empty history.
        bool reached = node.resolutionHistory().input_width != 0;
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
        look = kernelStyle(settings.enable, reached);
    }
    out << "        " << dotQuote(id) << " [shape=" << style.shape
        << ", label=" << dotQuote(dotLabel(lines)) << ", " << look << "];\n";
}

// One cluster per subgraph; subgraph -1 gathers the blocks without a stream.
void writeCluster(const VELT::SubgraphView& subgraph, std::ostream& out) {
    int id = subgraph.id();
    std::string title = id < 0 ? "no stream" : "subgraph " + std::to_string(id);
    out << "    subgraph " << dotClusterId("subgraph_" + std::to_string(id)) << " {\n"
        << "        label="
        << dotQuote(
               dotLabel({title, std::to_string(subgraph.kernelCount()) + " kernels, tuning mode " +
                                    std::to_string(subgraph.tuningMode())}))
        << ";\n"
        << "        style=\"rounded,filled\";\n"
        << "        fillcolor=whitesmoke;\n";
    subgraph.forEachInnerNode([&](const std::string& key, const VELT::InnerNodeView& node) {
        writeNode(nodeId(subgraph, key), key, node, out);
    });
    out << "    }\n";
}

// The links inside every subgraph, labelled with their ports.
void writeInnerLinks(const VELT::GraphUtil& analysis, std::ostream& out) {
    analysis.forEachSubgraph([&](const VELT::SubgraphView& subgraph) {
        subgraph.forEachInnerLink(
            [&](const std::string& from, const std::string& to, const std::string& port) {
                out << "    " << dotQuote(nodeId(subgraph, from)) << " -> "
                    << dotQuote(nodeId(subgraph, to)) << " [label=" << dotQuote(port) << "];\n";
            });
    });
}

// Dashed links from an output terminal to the input terminal of another
// subgraph that its port's "peer" names.
void writeCrossLinks(const VELT::GraphUtil& analysis, std::ostream& out) {
    std::map<std::string, std::string> outputTerminals;  // "block:port" -> node id
    analysis.forEachSubgraph([&](const VELT::SubgraphView& subgraph) {
        subgraph.forEachInnerNode([&](const std::string& key, const VELT::InnerNodeView& node) {
            if (node.type() == VELT::imaging_output_terminal) {
                outputTerminals[key] = nodeId(subgraph, key);
            }
        });
    });
    analysis.forEachSubgraph([&](const VELT::SubgraphView& subgraph) {
        subgraph.forEachInnerNode([&](const std::string& key, const VELT::InnerNodeView& node) {
            if (node.type() != VELT::imaging_input_terminal || node.treeNode() == nullptr) {
                return;
            }
            auto source =
                outputTerminals.find(textAttribute(*node.treeNode(), "peer").value_or(""));
            if (source != outputTerminals.end()) {
                out << "    " << dotQuote(source->second) << " -> "
                    << dotQuote(nodeId(subgraph, key)) << " [style=dashed];\n";
            }
        });
    });
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
    // The builder runs the analysis exactly as it does for a camera; its view
    // is what gets drawn.
    VELT::QelPekUtils builder(true);
    {
        LogCapture messages(ZO_LOG_ERROR | ZO_LOG_WARNING);
        int status = builder.initPekUtils(&graph);
        if (status != 0) {
            throw failedStep("the subgraph analysis", status, messages.messages());
        }
    }
    const VELT::GraphUtil& analysis = builder.subgraphAnalysis();
    out << "digraph inner_kernel_graph {\n"
        << "    label=" << dotQuote("inner kernel graph of " + title) << ";\n"
        << "    labelloc=t;\n"
        << "    rankdir=LR;\n"
        << "    node [fontname=\"Helvetica\", fontsize=10];\n"
        << "    edge [fontname=\"Helvetica\", fontsize=9];\n";
    analysis.forEachSubgraph(
        [&](const VELT::SubgraphView& subgraph) { writeCluster(subgraph, out); });
    writeInnerLinks(analysis, out);
    writeCrossLinks(analysis, out);
    writeKernelLegend({{"", "inner link (port)"}, {"style=dashed", "between subgraphs"}}, out);
    out << "}\n";
}

}  // namespace velt_tool
