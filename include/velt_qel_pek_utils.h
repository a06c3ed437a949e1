/*
 * The kernel-list builder for the ISP configuration library: run-kernel lists
 * per execution context and per program group, with each kernel's resolution
 * and the resolution history in front of it.
 *
 * initPekUtils() builds the lists of graphs of generation 5 and earlier itself
 * (one list per execution context, built along stream chains from upstream
 * contexts down) and hands newer graphs, or graphs whose program groups carry
 * kernel links, to an embedded GraphUtil; the queries then forward to it.
 *
 * Ownership: every run-kernel array and resolution record belongs to the
 * builder and stays valid until the next initPekUtils() or its destruction.
 * The graph is not owned and must outlive the builder's use of it.
 *
 * The static members need no object: the resolution histories of image
 * sources, the readers of a kernel's values from the graph (shared with the
 * subgraph path) and the dump text of run-kernel lists.
 *
 * Threads: a builder, like the graph it is given, is used by one thread at a
 * time; builders on other threads work on graphs of their own.
 */
#ifndef VELT_QEL_PEK_UTILS_H
#define VELT_QEL_PEK_UTILS_H

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "velt_export.h"
#include "velt_graph_config.h"
#include "velt_graph_util.h"
#include "velt_isp_utils.h"
#include "velt_kernel_config_container.h"
#include "velt_status.h"
#include "zo_isp_qel_records.h"

namespace VELT {

class SubgraphBlocks;

class ZO_EXPORT QelPekUtils {
  public:
    // Resolution history of the image at a port, keyed by the port node.
    using PortHistoryMap = std::map<const IGraphConfig*, zo_isp_qel_resolution_info>;

    // One run-kernel array and its number of records.
    struct KernelGroupInfo {
        zo_isp_qel_run_kernels* kernels;
        uint32_t count;
    };

    // The resolution records of one execution context: slot i uses histories[i]
    // as its history and, when it has its own resolution, infos[i].
    struct ResolutionMemPool {
        std::vector<zo_isp_qel_resolution_info*> histories;
        std::vector<zo_isp_qel_resolution_info*> infos;
    };

    // What the list build needs to remember about one kernel.
    struct KernelInfo {
        int32_t rcb;
        int32_t branch_point;
        int32_t sink_port;
        int32_t restore_point;
        IGraphConfig* sinkPortNode;  // the program group's port with id sink_port, or null
        IGraphConfig* sourceNode;    // the node the kernel's "source" names, or null
    };

    // The stages of a sensor mode. Only left and top crops are read from the
    // graph; right and bottom repeat them.
    struct SensorModeInfo {
        zo_isp_qel_resolution_info pixelArray;
        zo_isp_qel_resolution_info binner;
        int32_t binningH;
        int32_t binningV;
        zo_isp_qel_resolution_info scaler;
        int32_t scalingNumerator;  // scaling is output over input
        int32_t scalingDenominator;
    };

    // Execution context of a sink -> (context, port) pairs from the sink's
    // context upstream; each port feeds the element before it.
    using StreamChains = std::map<int32_t, std::vector<std::pair<int32_t, IGraphConfig*>>>;
    // Stream id -> (program group or compute block id, RBM) pairs.
    using RoutingInfo = std::map<int32_t, std::vector<std::pair<int32_t, std::string>>>;

    // useStreamIdKey: group program groups by "stream_id" (true) or by
    // "exec_ctx_id" (false).
    explicit QelPekUtils(bool useStreamIdKey);
    ~QelPekUtils();
    QelPekUtils(const QelPekUtils&) = delete;
    QelPekUtils& operator=(const QelPekUtils&) = delete;

    /* --- Building --- */

    // Builds the kernel lists of a graph, releasing those of a previous one.
    // err_argument for a null graph or root, err_internal when no generation
    // utility can be made, err_nomemory when memory runs out; else the status
    // of the build (or of GraphUtil::init on the subgraph path). A null graph
    // changes nothing; after any other failure the object holds no kernel list
    // (queries answer empty) but knows the graph for its side data, and can be
    // initialised again.
    Status initPekUtils(const IGraphConfig* graph);
    // Which path initPekUtils() takes for graph: true when it hands the graph to
    // the embedded GraphUtil (generation 6 and later, or a program group under
    // the graph's root holding a "klink"), false when it builds the lists per
    // execution context itself. isp is the graph's generation utility
    // (IspUtils::Factory; null counts as no known generation). When generation
    // is not null it receives the generation the lists are built for: the
    // utility's, or 6 for an older graph with klinks. Nothing is logged.
    static bool takesSubgraphPath(const IGraphConfig& graph, std::shared_ptr<IspUtils> isp,
                                  int32_t* generation = nullptr);
    // Stores the graph's generation; true for generation 6 and later.
    bool detectNewGraphVersion();
    // True (and generation 6) when a program group holds a "klink".
    bool nodesHaveKernelLinks();
    // Counts the kernels of every execution context, allocates all arrays and
    // fills them context by context along the stream chains.
    Status generateKernelListsForExecCtxs();
    // One chain per sink of pixel data, keyed by the sink's context.
    Status getStreamChains(StreamChains& chains);
    // The context feeding the program group of context streamId, and (when
    // port is not null) the output port it feeds through; -1 when none.
    int32_t getUpstreamStreamId(int streamId, IGraphConfig** port);
    // Fills one execution context's array (poolIndex selects its records)
    // from its program groups; records sink-port histories in portHistories.
    Status populateKernelArray(int ctxId, zo_isp_qel_run_kernels* kernels, unsigned poolIndex,
                               PortHistoryMap& portHistories);
    // err_data unless the ids of count kernels (summing to idSum) can run 0..count-1.
    static Status kernelIdSanityCheck(unsigned idSum, unsigned count);
    // Applies every override for the record's kernel, in order.
    static void applyKernelConfigs(const std::vector<KernelConfigContainer>& configs,
                                   zo_isp_qel_run_kernels& rk);
    // Allocates one zeroed array and resolution records per execution context.
    // err_nomemory when an allocation fails.
    Status createKernelListStructures();
    // Allocates the zeroed array of one program group (once per group).
    Status createPerPgKernelListStructures(const IGraphConfig* pg, unsigned kernelCount);
    // Releases every array and resolution record.
    void deleteKernelInfo();
    // Looks up the program group port the kernel's sink_port names and notes
    // the kernel's slot when that port is disabled; err_argument without port.
    Status handleSinkPort(KernelInfo& info, const IGraphConfig* pg,
                          std::vector<uint32_t>& disabledSlots, uint32_t slot);

    /* --- Queries --- */

    // The kernels of one execution context (or subgraph). An unknown or
    // negative id gives an empty group with status 0.
    Status getProgramGroup(int id, zo_isp_qel_program_group& group);
    // The kernels of one program group, refreshed from its context's array.
    Status getProgramGroup(const IGraphConfig* pg, zo_isp_qel_program_group& group);
    // The history entering the last context built (or the source subgraph).
    Status getSourceResolutionHistory(zo_isp_qel_resolution_info& history);
    // Appends every distinct integer under key of the nodes of the given type.
    Status collectNodesIntAttribute(std::vector<int32_t>& values, uint32_t key,
                                    uint32_t type) const;
    // The distinct "stream_id"s of the sinks, or of the program groups
    // (compute blocks from generation 7).
    Status getStreamIds(std::vector<int32_t>& ids, bool sinks) const;
    // Program group (or compute block) ids and RBMs per stream.
    Status getRoutingInfo(RoutingInfo& routing);

    // Read-only view of the subgraph analysis that the queries forward to on the
    // subgraph path (inactive on the other one); valid until the next
    // initPekUtils() or the builder's destruction.
    const GraphUtil& subgraphAnalysis() const;

    /* --- Side data --- */

    // The source's "cmc_tag"; err_data when missing or empty.
    Status getSensorCmcId(std::string& cmcId);
    // The source's conversion gain (1.0 by default) and DOL mode ("" by default).
    Status getDolInfo(float& conversionGain, std::string& dolMode);
    // The 56 MBR limits of a stream; err_data when missing or too few.
    Status getMbrData(int streamId, zo_view_mbr_limits_t* limits);
    // Logs the run kernels of one execution context (or subgraph).
    void dumpKernels(int id);

    /* --- Source resolution histories --- */

    // The history of an image source, chosen by the source's name: "sensor",
    // "tpg" or a name containing "buffer_src". err_notsupported for any other.
    static Status sourceGetResolutionHistory(zo_isp_qel_resolution_info& history,
                                             IGraphConfig& source);
    // Sensor history: pixel-array input size with the crops of every stage
    // (binner, scaler, CSI back end) in pixel-array pixels; output is the size
    // leaving the CSI back end.
    static Status calculateSensorResolutionHistory(IGraphConfig& sensor,
                                                   zo_isp_qel_resolution_info& history);
    // Test pattern generator history: the CSI back end's input and output.
    static Status calculateTPGResolutionHistory(IGraphConfig& tpg,
                                                zo_isp_qel_resolution_info& history);
    // Input buffer history: the size of its "port_0", no crop.
    static Status calculateBufSrcResolutionHistory(IGraphConfig& bufferSource,
                                                   zo_isp_qel_resolution_info& history);
    // Reads the sensor's stages into info, which the caller passes zeroed with
    // binning 1/1 and scaling 1/1. A missing stage "input" or "output" child
    // ends the read early with success.
    static Status getSensorModeInfo(IGraphConfig& sensor, SensorModeInfo& info);
    // The CSI back end fed by a source port: its input size and crop and its
    // output size. All zero when the port's peer has no parent.
    static Status getCsiDimensions(IGraphConfig& sourcePort, zo_isp_qel_resolution_info& csi);
    // Adds crop * multiplier / divisor to every edge of total, keeping four
    // fractional bits through the division. A zero divisor adds nothing.
    static void accumulateCrop(zo_rectangle& total, const zo_rectangle& crop, int divisor,
                               int multiplier);
    // The history entering a program group fed by another one: the entry of
    // portHistories for the peer of the group's "input" port. Left unchanged
    // (with a warning) when the peer has no entry; err_general when the group
    // has no input or the input no peer.
    static Status getResHistoryForIntermediatePg(const IGraphConfig* programGroup,
                                                 zo_isp_qel_resolution_info& history,
                                                 const PortHistoryMap& portHistories);

    /* --- Kernel readers --- */

    // Reads a kernel's values into every non-null output: metadata (room for four
    // values; a longer or malformed list is refused with err_data), rcb (0),
    // branch point (0), restore point (-1), enabled (1), pal uuid and id
    // (required: their read failure is returned) and sink port (-1); defaults in
    // brackets. err_argument for a null kernel.
    static Status kernelGetValues(const IGraphConfig* kernel, int* palUuid, int* kernelId,
                                  unsigned* metadata, int* enable, int* rcb, int* branchPoint,
                                  int* sinkPort, int* restorePoint);
    // The "bpp" of the kernel's "input" and "output" children into rk.bpp_info
    // (0 when unreadable); a missing child leaves its value as it was.
    static Status kernelGetBppInfo(const IGraphConfig& kernel, zo_isp_qel_run_kernels& rk);
    // True when the kernel has an "input" with a width and an "output" with a
    // width or with output children of its own.
    static bool kernelHasResolutions(const IGraphConfig* kernel);
    // The kernel's single resolution into *info; an unreadable output crop is
    // all zero. err_argument when something required is missing.
    static Status kernelGetResolutions(const IGraphConfig* kernel,
                                       zo_isp_qel_resolution_info* info);
    // The kernel's resolutions keyed by output: "" for a single output, else the
    // name of each output child. Entries of the same name are overwritten.
    // err_argument on a missing or unreadable part, or when infos stays empty.
    static Status kernelGetResolutions(const IGraphConfig* kernel,
                                       std::map<std::string, zo_isp_qel_resolution_info>& infos);

    /* --- Dumps (all through the log) --- */

    // The one-line text of a resolution record, in a buffer of the calling
    // thread that the thread's next call overwrites.
    static const char* resInfoToStr(const zo_isp_qel_resolution_info& info);
    // "<name>:<text>".
    static void dumpResHistory(const zo_isp_qel_resolution_info& info, const char* name);
    // The run kernel's own resolution record(s).
    static void dumpResInfo(const zo_isp_qel_run_kernels& rk);
    // Every record of a run-kernel array.
    static void dumpKernels(const zo_isp_qel_run_kernels* kernels, unsigned count);
    // Every port history, under the port's printed name.
    static void dumpPortResHistoryMap(const PortHistoryMap& portHistories);

  private:
    // First phase of the build: kernels per execution context, arrays per
    // program group, then createKernelListStructures().
    Status countKernels();
    // Frees every array and record and forgets the execution contexts.
    void releaseKernelLists();
    // Back to the state after construction: no graph, no lists.
    void clearGraph();
    // The side-data source: "sensor", else "buffer_src0"; logs when missing.
    Status sideDataSource(const IGraphConfig*& source) const;
    // The attribute that puts program groups (and sinks) into execution
    // contexts: "stream_id" or "exec_ctx_id", as chosen at construction.
    uint32_t contextKey() const;

    std::map<int32_t, uint32_t> execCtxIndexMap;  // context id -> pool index
    std::vector<ResolutionMemPool> resolutionPools;
    std::map<const IGraphConfig*, KernelGroupInfo> pgKernelGroups;
    std::map<int32_t, KernelGroupInfo> ctxKernelGroups;
    zo_isp_qel_resolution_info inputHistory;  // entering the context being built
    IGraphConfig* graphRoot;                  // null until initPekUtils() succeeds
    bool useStreamIdKey;
    GraphUtil graphUtil;  // active once its init() ran on a graph
    int32_t hwGeneration;
    std::shared_ptr<IspUtils> ispUtils;

    // The input port of context ctx's program groups (GraphCameraUtil::getInputPort), from
    // contextBlocks_ while the kernel lists are generated.
    Status contextInputPort(int32_t ctx, IGraphConfig** port) const;

    // Only while generateKernelListsForExecCtxs() runs: the program groups by context,
    // read once, so that no context's lookup walks every block of the graph.
    std::shared_ptr<const SubgraphBlocks> contextBlocks_;
};

}  // namespace VELT

#endif /* VELT_QEL_PEK_UTILS_H */
