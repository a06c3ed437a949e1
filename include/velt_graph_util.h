/*
 * Imaging graph analysis: the subgraph-based kernel-list path for graphs of
 * generation 6 and later.
 *
 * GraphUtil reads a result graph into an outer graph (one node per block,
 * linked by the graph's connections), drops the blocks that feed no sink,
 * splits the rest into subgraphs (one per stream id or execution context),
 * builds an inner kernel graph inside every subgraph from the kernels, the
 * routing nodes and the "klink" elements of its program groups, disables the
 * kernels that can carry no data, computes every kernel's resolution history
 * and fills one run-kernel array per subgraph and per program group.
 *
 * Ownership: every graph node is held by a shared pointer in exactly one
 * owning map (outer nodes in mGraphNodes, subgraphs in mSubGraphs, inner
 * nodes in their subgraph's imagingNodes); links between nodes are plain
 * pointers. Run-kernel arrays and resolution records belong to the GraphUtil
 * and stay valid until the next init() or its destruction. Tree pointers
 * point into the caller's graph, which must outlive both.
 *
 * Threads: a GraphUtil, like the graph it is given, is used by one thread at
 * a time.
 */
#ifndef VELT_GRAPH_UTIL_H
#define VELT_GRAPH_UTIL_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "velt_export.h"
#include "velt_graph_config.h"
#include "velt_isp_utils.h"
#include "zo_isp_qel_records.h"

namespace VELT {

namespace analysis {
class ConnectionIndex;
}

// Visitor results beyond 0 (go on below the node).
enum : int32_t {
    visit_stop = -256,    // visited, but do not go below this node
    visit_retry = -1024,  // not ready: leave it unvisited so another path may reach it later
};

// Kind of a node of the inner (kernel) graph.
enum ImagingNodeType : int32_t {
    imaging_kernel = 0,
    imaging_mux = 1,    // routing node with one active input
    imaging_demux = 2,  // routing node with one active output
    imaging_split = 3,
    imaging_input_terminal = 4,   // program-group port through which data enters
    imaging_output_terminal = 5,  // port through which data leaves
    imaging_none = 6,             // a fresh node; selects every type in dumps
};

// Bits of ImagingNode::flags.
enum : uint32_t {
    imaging_flag_rcb = 1,            // the kernel has a non-zero "rcb"
    imaging_flag_loop_terminal = 2,  // terminal of a connection leaving and re-entering one group
    imaging_flag_disabled = 4,       // passed by a disable traversal
};

struct BaseGraphNode;

// Neighbours in the order of their names, which are unique within each graph
// (outer nodes: block names; subgraphs: their ids in decimal; inner nodes:
// "<program group>:<kernel or port>"), so every walk takes the same path from
// run to run, wherever the nodes were allocated.
struct ZO_EXPORT NeighbourOrder {
    bool operator()(const BaseGraphNode* a, const BaseGraphNode* b) const;
};
using NeighbourMap = std::map<BaseGraphNode*, std::string, NeighbourOrder>;

// What every node of the outer, meta and inner graphs has in common.
struct ZO_EXPORT BaseGraphNode {
    std::string name;              // a subgraph is named by its id in decimal
    IGraphConfig* node = nullptr;  // the tree node it stands for; null for a subgraph
    bool visited = false;          // traversal mark
    NeighbourMap parents;          // upstream neighbour -> port string
    NeighbourMap children;         // downstream neighbour -> port string
    int32_t type = 0;  // outer: key of "type"; subgraph: subgraph type key; inner: ImagingNodeType
};

inline bool NeighbourOrder::operator()(const BaseGraphNode* a, const BaseGraphNode* b) const {
    return a->name < b->name;
}

// One block of the result graph.
struct ZO_EXPORT GraphNode : BaseGraphNode {
    int32_t streamId = -1;   // "stream_id", -1 when missing
    int32_t execCtxId = -1;  // "exec_ctx_id", -1 when missing
};

// A kernel, routing node or terminal of a subgraph's inner graph.
struct ZO_EXPORT ImagingNode : BaseGraphNode {
    uint32_t flags = 0;
    // Per-output resolution info from the settings, by output port name.
    std::map<std::string, zo_isp_qel_resolution_info> outputResInfos;
    // Seeds and per-output resolution histories, by port name.
    std::map<std::string, zo_isp_qel_resolution_info> portResHistories;
    zo_isp_qel_resolution_info resHistory{};         // the node's computed resolution history
    zo_isp_qel_run_kernels runKernel{};              // values read from the settings
    zo_isp_qel_run_kernels* pekRunKernel = nullptr;  // its record in the subgraph array
    int32_t activePath = -1;                         // mux: "active_input", demux: "active_output"
};

// One subgraph, and a node of the meta graph.
struct ZO_EXPORT SubGraphInfo : BaseGraphNode {
    int32_t subGraphId = -1;
    int32_t streamId = -1;  // stream id of a program group of the subgraph
    int32_t tuningMode = 0;
    std::vector<GraphNode*> nodes;                 // outer nodes, in name order
    std::vector<IGraphConfig*> pgs;                // program-group nodes
    std::vector<IGraphConfig*> inputPorts;         // input ports fed from another subgraph
    std::vector<IGraphConfig*> outputPorts;        // output ports of the subgraph
    size_t kernelCount = 0;                        // number of run-kernel records
    zo_isp_qel_run_kernels* runKernels = nullptr;  // owned by the GraphUtil's pools
    std::map<std::string, std::shared_ptr<ImagingNode>> imagingNodes;  // the inner graph
};

// A parsed "klink": "source" and "destination" split at the first colon.
struct ZO_EXPORT KernelLink {
    std::string srcNode;
    std::string srcPort;
    std::string dstNode;
    std::string dstPort;

    // "srcNode:srcPort->dstNode:dstPort", for messages.
    std::string toStr() const;
};

// One run-kernel array with the resolution records its entries point to.
struct ZO_EXPORT KernelInfoMemPool {
    zo_isp_qel_run_kernels* runKernels = nullptr;                  // owned array
    size_t count = 0;                                              // its records
    std::vector<zo_isp_qel_resolution_info*> resolutionHistories;  // one record per kernel
    std::vector<zo_isp_qel_resolution_info*> resolutionInfos;      // one array per kernel
};

// A read-only look at one node of a subgraph's inner graph, for drawings and
// reports. It hands out const data only, so a reader cannot change the analysis
// through it; it is valid as long as the node (until the next GraphUtil::init()).
class ZO_EXPORT InnerNodeView {
  public:
    explicit InnerNodeView(const ImagingNode& node) : node_(node) {}

    ImagingNodeType type() const { return static_cast<ImagingNodeType>(node_.type); }
    // The kernel, routing or port node of the graph it stands for.
    const IGraphConfig* treeNode() const { return node_.node; }
    // The values read from the settings (uuid, enable, metadata, bits per pixel).
    const zo_isp_qel_run_kernels& settings() const { return node_.runKernel; }
    // The history the analysis computed; all zero for a node it never reached.
    const zo_isp_qel_resolution_info& resolutionHistory() const { return node_.resHistory; }
    // A kernel's record in its subgraph's run-kernel array; null for other nodes
    // and before the arrays are allocated.
    const zo_isp_qel_run_kernels* record() const { return node_.pekRunKernel; }

  private:
    const ImagingNode& node_;
};

// A read-only look at one analysed subgraph and its inner graph, on the same
// terms as InnerNodeView.
class ZO_EXPORT SubgraphView {
  public:
    explicit SubgraphView(const SubGraphInfo& info) : info_(info) {}

    int32_t id() const { return info_.subGraphId; }
    size_t kernelCount() const { return info_.kernelCount; }
    int32_t tuningMode() const { return info_.tuningMode; }
    // Calls visit for every inner node in key order; the key is unique within the
    // subgraph: "<program group>:<kernel or port>".
    void forEachInnerNode(
        const std::function<void(const std::string& key, const InnerNodeView& node)>& visit) const;
    // Calls visit for every link of the inner graph, by the keys of its two ends and
    // the link's port string: from each node in key order, to its children in
    // neighbour order.
    void forEachInnerLink(const std::function<void(const std::string& from, const std::string& to,
                                                   const std::string& port)>& visit) const;

  private:
    const SubGraphInfo& info_;
};

class ZO_EXPORT GraphUtil {
  public:
    // Empty; subgraphs by "stream_id", program groups of type "program_group".
    GraphUtil();
    // Frees the run-kernel structures and every graph node.
    ~GraphUtil();
    GraphUtil(const GraphUtil&) = delete;
    GraphUtil& operator=(const GraphUtil&) = delete;

    /* --- Analysis driver --- */

    // Analyses graph and builds every run-kernel array. subgraphType is the key of
    // "stream_id" or "exec_ctx_id", version the graph's generation (above 5). Returns -32
    // for unusable arguments (an earlier analysis stays untouched), else the first failing
    // step's status. After any other failure the object is empty and inactive, as after
    // construction: no run-kernel data is handed out until the next successful init.
    int init(unsigned subgraphType, const IGraphConfig* graph, GdfVersion version);
    // Builds the outer graph, removes unused nodes and analyses the subgraphs; -16 before
    // init() has given it a graph.
    int analyzeGraphSettings();
    // Fills subGraphs with one analysed subgraph (nodes, ports, inner graph) per id.
    int analyzeSubGraphs(std::map<int, std::shared_ptr<SubGraphInfo>>& subGraphs);
    // Allocates the run-kernel arrays per subgraph and per program group; -2 when the
    // kernel counts are inconsistent (everything is freed then).
    int allocatePekData();
    // Computes the resolution histories over the meta graph and fills the subgraph arrays.
    int populatePekData();
    // Copies the inner graph's kernel values and histories into the subgraph's records;
    // -16 when a kernel's resolution infos do not fit its records.
    int fillPekRunKernels(SubGraphInfo& sg);
    // The records of one subgraph (inner-node key order); -8 for an unknown id or when
    // no successful analysis is available.
    int getPekData(int subgraphId, zo_isp_qel_program_group& group);
    // The records of one program group, refreshed from its subgraph in the group's own
    // kernel order; -32 when the group was not analysed, -16 for unreadable kernels.
    int getPgPekData(const IGraphConfig* pg, zo_isp_qel_program_group& group);
    // Frees every run-kernel array and resolution record, and clears the pointers to them.
    void deletePekStructs();
    // Frees everything built for the analysed graph and forgets the graph: the object is
    // inactive again, as after construction.
    void clear();

    /* --- Outer graph and subgraphs --- */

    // Inserts the subgraph id of every outer node (-1 for a node without one).
    void getAvailableSubgraphs(std::set<int>& ids);
    // Depth-first traversal from start, downstream along children or upstream along
    // parents (neighbours in name order), calling visitor on every node reached (see
    // visit_stop, visit_retry). -32 for a null start or an empty visitor.
    int traverseGraph(BaseGraphNode* start, std::function<int(BaseGraphNode*)>& visitor,
                      bool downstream);
    // Adds one block of the result graph as an outer node; -8 for a duplicate name.
    int addGraphNode(IGraphConfig& node);
    // Links the two outer nodes that a "connection" element joins.
    int addGraphConnection(IGraphConfig& connection);
    // Removes the outer nodes from which no sink can be reached.
    int removeUnusedNodes();
    // Appends the input ports of node that are fed from another subgraph; -16 when such
    // a port is missing from the graph.
    int getCrossSgInPorts(GraphNode& node, std::vector<IGraphConfig*>& ports);
    // Links the subgraphs of the meta graph along the connections that cross them.
    int collectSubgraphConnections();
    // Upstream visitor of removeUnusedNodes(): records the names of the nodes reached.
    int activeNodeVisitor(BaseGraphNode* node, std::vector<std::string>* active);
    // Downstream visitor of collectSubgraphConnections().
    int subgraphConnectionVisitor(BaseGraphNode* node);
    // Clear the traversal marks of the outer graph and of the meta graph.
    void resetGraph();
    void resetMetaGraph();
    // The subgraph id of an outer node under the current subgraph type.
    int subgraphIdOf(const GraphNode& node) const;

    /* --- Inner kernel graph --- */

    // Adds one program group's kernels, routing nodes and klinks to sg's inner graph.
    int collectPgInnerGraph(SubGraphInfo& sg, IGraphConfig& pg);
    // Adds a kernel node read from the settings; -8 when its values cannot be read.
    int addImagingNode(SubGraphInfo& sg, IGraphConfig& kernel, std::string pgName);
    // Adds a mux, demux or split.
    int addRoutingNode(SubGraphInfo& sg, IGraphConfig& node, ImagingNodeType type,
                       std::string pgName);
    // Adds the link a "klink" element describes, with terminals for bare port names.
    int addImagingLink(SubGraphInfo& sg, IGraphConfig& klink, IGraphConfig& pg);
    // Output terminals for a subgraph without inputs from other subgraphs.
    int collectSourceInnerGraph(SubGraphInfo& sg);
    // Links terminals joined by a graph connection inside the subgraph.
    int collectInterPgConnections(SubGraphInfo& sg);
    // Appends the unvisited input terminals whose port has a "peer".
    int getUnvisitedInputPortsPeers(SubGraphInfo& sg, std::vector<ImagingNode*>& nodes);

    /* --- Kernel disabling --- */

    // Generation 7: disables kernels on dangling branches of the inner graph.
    int disableDisconnectedKernels(SubGraphInfo& sg);
    // Disables kernels that only feed, or are only fed by, ports whose "enabled" is 0.
    int disableKernelsToDisabledTerminals(SubGraphInfo& sg);
    int kernelDisconectedVisitor(BaseGraphNode* node, bool downstream);
    int kernelDisableVisitor(BaseGraphNode* node, bool downstream);
    // Clears the inner graph's marks; with report, logs active nodes no traversal reached.
    void resetInnerGraph(SubGraphInfo& sg, bool report);

    /* --- Resolution histories --- */

    // Meta-graph visitor: disables, computes histories and fills one subgraph.
    int resHistoryCalcVisitor(BaseGraphNode* subgraph);
    // Seeds the inner nodes of a subgraph without inputs from its source's history.
    int calculateSourceResHistory(SubGraphInfo& sg, zo_isp_qel_resolution_info& history);
    // Seeds an input terminal with the history of the upstream subgraph's node.
    int getUpstreamResHistory(ImagingNode& inputTerminal);
    // Inner-graph visitor: computes one node's history and its per-output histories.
    int resHistoryINodeVisitor(BaseGraphNode* node);
    // The node's input history from its parents (the largest output); visit_retry when
    // an active parent has not been visited yet.
    int getParentHistory(ImagingNode& node, zo_isp_qel_resolution_info& history);
    // Fills the kernel's outputResInfos from its resolution settings.
    int getKernelResolutionInfos(ImagingNode& kernel);

    /* --- Dumps (log only) --- */

    static int printOuterNode(BaseGraphNode* node);
    void dumpOuterGraph();
    void dumpSubGraphInfos();
    void dumpPekStructs();
    void dumpInnerGraph(int subgraphId);
    void dumpKernels(int subgraphId);
    static int dumpInnerNodeVisitor(BaseGraphNode* node, ImagingNodeType type);

    /* --- Read-only view of the analysis --- */

    // True once init() has analysed a graph; the run-kernel queries answer from it then.
    bool isActive() const;
    // The resolution history of the source of the last source subgraph.
    const zo_isp_qel_resolution_info& sourceResolutionHistory() const;
    // Calls visit for every subgraph, in id order. The views are valid until the next
    // init() or clear(); nothing reached through them changes the analysis.
    void forEachSubgraph(const std::function<void(const SubgraphView&)>& visit) const;

  private:
    // The test programs reach the state below through this seam; its definition lives
    // with the tests, never in the library.
    friend struct GraphUtilTestSeam;

    // The state keeps the names the published interface gives it.
    const IGraphConfig* mGraphSettings = nullptr;    // the analysed graph (not owned)
    uint32_t mSubgraphType;                          // key of "stream_id" or "exec_ctx_id"
    zo_isp_qel_resolution_info mSourceResHistory{};  // history of the last source subgraph
    std::map<int, std::shared_ptr<SubGraphInfo>> mSubGraphs;
    std::map<std::string, std::shared_ptr<GraphNode>> mGraphNodes;
    std::vector<IGraphConfig*> mConnections;  // connection elements in reading order
    std::map<int, KernelInfoMemPool> mSubgraphPools;
    std::map<const IGraphConfig*, KernelInfoMemPool> mPgPools;
    GdfVersion mOrbaVersion;
    uint32_t mPgTypeKey;  // "compute_block" on generation 7, else "program_group"

    // True only after a successful init: the arrays are allocated and filled.
    bool mPekDataReady = false;

    // getCrossSgInPorts() and collectInterPgConnections() over connections indexed once
    // (analysis/connection_index.h), which analyzeSubGraphs() shares by all subgraphs. A
    // null index for the inter-group links means the graph has no "graph" node.
    int crossSgInPorts(GraphNode& node, std::vector<IGraphConfig*>& ports,
                       const analysis::ConnectionIndex& connections);
    int interPgConnections(SubGraphInfo& sg, const analysis::ConnectionIndex* connections);

    // The connections indexed once while populatePekData() runs, so that
    // getUpstreamResHistory() finds a port's feeder without a walk; null otherwise.
    const analysis::ConnectionIndex* historyConnections_ = nullptr;
};

}  // namespace VELT

#endif /* VELT_GRAPH_UTIL_H */
