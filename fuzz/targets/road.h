// The road a camera layer travels once both documents are read: check the
// settings against the descriptor, query the settings entries, and for each
// entry build the result graph, its kernel lists (every stream's program
// group, with contexts by "stream_id" and by "exec_ctx_id") and the sensor
// frame parameters, then free it all. On the first result graph it also asks
// every accessor about every block, port and kernel, and runs the dumps. The
// road fuzz target and the allocation-failure sweep both travel it; every
// library call goes into the outcome's journal.
#ifndef ZOVESK_FUZZ_ROAD_H
#define ZOVESK_FUZZ_ROAD_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fuzz/targets/road_journal.h"
#include "velt_graph_camera_util.h"
#include "velt_graph_config.h"
#include "velt_graph_query_manager.h"
#include "velt_graph_yad_util.h"
#include "velt_item_uid.h"
#include "velt_keys.h"
#include "velt_node_iterator.h"
#include "velt_qel_pek_utils.h"
#include "zo_isp_qel_records.h"
#include "zo_yad_frame_params.h"

namespace zovesk_fuzz {

// How far the road got; equal outcomes mean equal journeys.
struct RoadOutcome {
    bool descriptorRead = false;
    bool settingsRead = false;
    int queryStatus = 1;
    size_t entries = 0;
    // Result graphs built with status 0.
    size_t graphsBuilt = 0;
    // Result graphs handed out (also on failure) and destroyed.
    size_t graphsDestroyed = 0;
    // Result graphs whose kernel lists were built, with contexts by "stream_id".
    size_t kernelListsBuilt = 0;
    // The same with contexts by "exec_ctx_id".
    size_t contextListsBuilt = 0;
    // Program groups handed out, one per stream of each graph.
    size_t programGroups = 0;
    // Run kernels in those program groups.
    size_t runKernels = 0;
    // Result graphs whose sensor frame parameters were computed.
    size_t frameParams = 0;
    // Every library call of the journey.
    RoadJournal journal;

    bool operator==(const RoadOutcome& other) const {
        return descriptorRead == other.descriptorRead && settingsRead == other.settingsRead &&
               queryStatus == other.queryStatus && entries == other.entries &&
               graphsBuilt == other.graphsBuilt && graphsDestroyed == other.graphsDestroyed &&
               kernelListsBuilt == other.kernelListsBuilt &&
               contextListsBuilt == other.contextListsBuilt &&
               programGroups == other.programGroups && runKernels == other.runKernels &&
               frameParams == other.frameParams && journal.escapes == other.journal.escapes;
    }
    bool operator!=(const RoadOutcome& other) const { return !(*this == other); }
};

// Records one call with a status and a digest made outside the fault count.
template <typename MakeDigest>
void note(RoadJournal& journal, int32_t status, MakeDigest&& makeDigest,
          uint32_t line = __builtin_LINE()) {
    const Bookkeeping bookkeeping(journal);
    Digest digest;
    digest.number(status);
    if (status == VELT::err_none || status == RoadCall::kNoStatus) {
        makeDigest(digest);
    }
    journal.record(status, digest.value(), line);
}

inline void noteStatus(RoadJournal& journal, int32_t status, uint32_t line = __builtin_LINE()) {
    note(
        journal, status, [](Digest&) {}, line);
}

// The subgraph queries of one stream (execution context) of a graph.
inline void travelStream(const VELT::IGraphConfig* graph, uint32_t key, int32_t id,
                         RoadJournal& journal) {
    using VELT::GraphCameraUtil;
    const About about(journal, [&](Digest& d) { d.number(key).number(id); });
    std::vector<VELT::IGraphConfig*> items;
    const int32_t groups = libraryCall(journal, VELT::err_internal, [&] {
        return GraphCameraUtil::getProgramGroups(key, id, graph, items);
    });
    note(journal, groups, [&](Digest& d) { d.nodes(items); });
    items.clear();
    const int32_t inputs = libraryCall(journal, VELT::err_internal, [&] {
        return GraphCameraUtil::getInputPorts(key, id, *graph, items, VELT::kKeyProgramGroup);
    });
    note(journal, inputs, [&](Digest& d) { d.nodes(items); });
    VELT::IGraphConfig* input = nullptr;
    const int32_t first = libraryCall(journal, VELT::err_internal, [&] {
        return GraphCameraUtil::getInputPort(key, id, graph, &input, VELT::kKeyProgramGroup);
    });
    note(journal, first, [&](Digest& d) { d.node(input); });
    items.clear();
    const int32_t outputs = libraryCall(journal, VELT::err_internal, [&] {
        return GraphCameraUtil::getOutputPorts(key, id, *graph, items, VELT::kKeyProgramGroup);
    });
    note(journal, outputs, [&](Digest& d) { d.nodes(items); });
}

// Every port accessor on one port.
inline void travelPort(const VELT::IGraphConfig* port, RoadJournal& journal) {
    using VELT::GraphCameraUtil;
    const About about(journal, [&](Digest& d) { d.node(port); });
    const int none = RoadCall::kNoStatus;
    const int direction =
        libraryCall(journal, -1, [&] { return GraphCameraUtil::portGetDirection(port); });
    note(journal, none, [&](Digest& d) { d.number(direction); });
    const int ctx =
        libraryCall(journal, -1, [&] { return GraphCameraUtil::portGetExecCtxId(port); });
    const int stream =
        libraryCall(journal, -1, [&] { return GraphCameraUtil::portGetStreamId(port); });
    note(journal, none, [&](Digest& d) { d.number(ctx).number(stream); });
    const std::string content = libraryCall(
        journal, std::string(), [&] { return GraphCameraUtil::portGetContentType(port); });
    const bool isVirtual =
        libraryCall(journal, false, [&] { return GraphCameraUtil::portIsVirtual(port); });
    const bool edge =
        libraryCall(journal, false, [&] { return GraphCameraUtil::isEdgePort(port); });
    note(journal, none, [&](Digest& d) { d.text(content).number(isVirtual).number(edge); });
    VELT::IGraphConfig* peer = nullptr;
    const int peerStatus = libraryCall(journal, VELT::err_internal,
                                       [&] { return GraphCameraUtil::portGetPeer(port, &peer); });
    note(journal, peerStatus, [&](Digest& d) { d.node(peer); });
    unsigned base = 0;
    unsigned uid = 0;
    const int fourcc = libraryCall(journal, VELT::err_internal, [&] {
        return GraphCameraUtil::portGetFourCCInfo(port, base, uid);
    });
    note(journal, fourcc, [&](Digest& d) { d.number(base).number(uid); });
    GraphCameraUtil::PortDescriptor descriptor{};
    const int described = libraryCall(journal, VELT::err_internal, [&] {
        return GraphCameraUtil::portGetDescriptor(port, descriptor);
    });
    note(journal, described, [&](Digest& d) {
        d.text(descriptor.portName).text(descriptor.programGroupName).number(descriptor.direction);
        d.number(descriptor.enabled).number(descriptor.portUid).number(descriptor.width);
        d.number(descriptor.height).text(descriptor.format);
    });
    unsigned enabled = 0;
    const int info = libraryCall(journal, VELT::err_internal,
                                 [&] { return GraphCameraUtil::portGetInfo(port, enabled, uid); });
    note(journal, info, [&](Digest& d) { d.number(enabled).number(uid); });
    unsigned values[7] = {};
    const int format = libraryCall(journal, VELT::err_internal, [&] {
        return GraphCameraUtil::portGetFormat(port, values[0], values[1], values[2], values[3],
                                              values[4], values[5], values[6]);
    });
    note(journal, format, [&](Digest& d) { d.bytes(values, sizeof(values)); });
    const std::string peerFormat = libraryCall(
        journal, std::string(), [&] { return GraphCameraUtil::portGetPeerFormat(port); });
    note(journal, none, [&](Digest& d) { d.text(peerFormat); });
    std::string pgName;
    std::string portName;
    const int names = libraryCall(journal, VELT::err_internal,
                                  [&] { return VELT::getPgAndPortNames(*port, pgName, portName); });
    note(journal, names, [&](Digest& d) { d.text(pgName).text(portName); });
}

// Every kernel reader on one kernel.
inline void travelKernel(const VELT::IGraphConfig* kernel, RoadJournal& journal) {
    using VELT::QelPekUtils;
    const About about(journal, [&](Digest& d) { d.node(kernel); });
    int values[7] = {};
    unsigned metadata[4] = {};
    const int read = libraryCall(journal, VELT::err_internal, [&] {
        return QelPekUtils::kernelGetValues(kernel, &values[0], &values[1], metadata, &values[2],
                                            &values[3], &values[4], &values[5], &values[6]);
    });
    note(journal, read, [&](Digest& d) { d.bytes(values, sizeof(values)).bytes(metadata, 16); });
    const int camera = libraryCall(journal, VELT::err_internal, [&] {
        return VELT::GraphCameraUtil::kernelGetValues(kernel, &values[0], &values[1], metadata,
                                                      &values[2], &values[3], &values[4],
                                                      &values[5]);
    });
    note(journal, camera, [&](Digest& d) { d.bytes(values, sizeof(values)).bytes(metadata, 16); });
    zo_isp_qel_run_kernels record{};
    const int bpp = libraryCall(journal, VELT::err_internal,
                                [&] { return QelPekUtils::kernelGetBppInfo(*kernel, record); });
    note(journal, bpp, [&](Digest& d) { d.bytes(&record.bpp_info, sizeof(record.bpp_info)); });
    const bool has =
        libraryCall(journal, false, [&] { return QelPekUtils::kernelHasResolutions(kernel); });
    note(journal, RoadCall::kNoStatus, [&](Digest& d) { d.number(has); });
    std::map<std::string, zo_isp_qel_resolution_info> infos;
    const int resolutions = libraryCall(journal, VELT::err_internal, [&] {
        return QelPekUtils::kernelGetResolutions(kernel, infos);
    });
    note(journal, resolutions, [&](Digest& d) {
        for (const auto& [name, resolution] : infos) {
            d.text(name).resolution(&resolution);
        }
    });
}

// Every block accessor on one block, then its ports and kernels.
inline void travelBlock(const VELT::IGraphConfig* block, RoadJournal& journal) {
    using VELT::GraphCameraUtil;
    const About about(journal, [&](Digest& d) { d.node(block); });
    const int none = RoadCall::kNoStatus;
    const std::string printed =
        libraryCall(journal, std::string(), [&] { return GraphCameraUtil::print(block); });
    const std::string full =
        libraryCall(journal, std::string(), [&] { return GraphCameraUtil::getFullName(*block); });
    note(journal, none, [&](Digest& d) { d.text(printed).text(full); });
    int sizes[6] = {};
    const int dimensions = libraryCall(journal, VELT::err_internal, [&] {
        return GraphCameraUtil::getDimensions(block, &sizes[0], &sizes[1], &sizes[2], &sizes[3],
                                              &sizes[4], &sizes[5]);
    });
    note(journal, dimensions, [&](Digest& d) { d.bytes(sizes, sizeof(sizes)); });
    unsigned kernels = 0;
    const int counted = libraryCall(journal, VELT::err_internal, [&] {
        return GraphCameraUtil::getKernelCountInPg(block, kernels);
    });
    note(journal, counted, [&](Digest& d) { d.number(kernels); });
    std::string sensorType;
    const int typed = libraryCall(journal, VELT::err_internal, [&] {
        return GraphCameraUtil::sensorGetType(block, sensorType);
    });
    note(journal, typed, [&](Digest& d) { d.text(sensorType); });
    int factors[4] = {};
    const int binning = libraryCall(journal, VELT::err_internal, [&] {
        return GraphCameraUtil::sensorGetBinningFactor(block, factors[0], factors[1]);
    });
    const int scaling = libraryCall(journal, VELT::err_internal, [&] {
        return GraphCameraUtil::sensorGetScalingFactor(block, factors[2], factors[3]);
    });
    note(journal, binning, [&](Digest& d) { d.number(factors[0]).number(factors[1]); });
    note(journal, scaling, [&](Digest& d) { d.number(factors[2]).number(factors[3]); });

    VELT::NodeIterator children(block);
    for (VELT::IGraphConfig* child = children.iterateDescendants(); child != nullptr;
         child = children.iterateDescendants()) {
        const bool isPort =
            libraryCall(journal, false, [&] { return child->isType(VELT::kKeyPort); });
        const bool isKernel =
            libraryCall(journal, false, [&] { return child->isType(VELT::kKeyKernel); });
        note(journal, none, [&](Digest& d) { d.number(isPort).number(isKernel); });
        if (isPort) {
            travelPort(child, journal);
        } else if (isKernel) {
            travelKernel(child, journal);
        }
    }
}

// Every accessor of subsystem 4 on a result graph, and its dump.
inline void travelAccessors(const VELT::IGraphConfig* graph, RoadJournal& journal) {
    using VELT::GraphCameraUtil;
    const About about(journal, [](Digest& d) { d.text("accessors"); });
    std::set<int> ids;
    const int ctxIds = libraryCall(journal, VELT::err_internal,
                                   [&] { return GraphCameraUtil::getExecCtxIds(*graph, ids); });
    note(journal, ctxIds, [&](Digest& d) {
        for (int id : ids) {
            d.number(id);
        }
    });
    std::map<int, int> tuning;
    const int tuned = libraryCall(journal, VELT::err_internal, [&] {
        return GraphCameraUtil::getExecCtxIdsTuningMap(*graph, tuning);
    });
    note(journal, tuned, [&](Digest& d) {
        for (const auto& [ctx, mode] : tuning) {
            d.number(ctx).number(mode);
        }
    });
    std::vector<VELT::IGraphConfig*> items;
    const int sources = libraryCall(journal, VELT::err_internal,
                                    [&] { return GraphCameraUtil::getSourceNode(graph, items); });
    note(journal, sources, [&](Digest& d) { d.nodes(items); });
    items.clear();
    const std::string allSinks;
    const int sinks = libraryCall(journal, VELT::err_internal, [&] {
        return GraphCameraUtil::graphGetSinksByName(allSinks, graph, items);
    });
    note(journal, sinks, [&](Digest& d) { d.nodes(items); });
    std::vector<std::pair<std::string, std::string>> connections;
    std::vector<std::string> sourcePeers;
    std::vector<std::string> sinkNames;
    const int crossing = libraryCall(journal, VELT::err_internal, [&] {
        return GraphCameraUtil::getExecCtxConnectionPorts(graph, connections, sourcePeers,
                                                          sinkNames);
    });
    note(journal, crossing, [&](Digest& d) {
        for (const auto& [from, to] : connections) {
            d.text(from).text(to);
        }
        for (const auto& text : sourcePeers) {
            d.text(text);
        }
        for (const auto& text : sinkNames) {
            d.text(text);
        }
    });
    for (int id : ids) {
        travelStream(graph, VELT::kKeyExecCtxId, id, journal);
        travelStream(graph, VELT::kKeyStreamId, id, journal);
    }

    VELT::NodeIterator blocks(graph);
    for (VELT::IGraphConfig* block = blocks.iterateDescendants(); block != nullptr;
         block = blocks.iterateDescendants()) {
        travelBlock(block, journal);
    }
    // A path lookup from text, and the path it is made of.
    std::string path;
    {
        const Bookkeeping bookkeeping(journal);
        path = "sensor:port_0";
    }
    const VELT::ItemUID uid =
        libraryCall(journal, VELT::ItemUID(), [&] { return VELT::ItemUID(path); });
    const VELT::IGraphConfig* found =
        libraryCall(journal, static_cast<VELT::IGraphConfig*>(nullptr),
                    [&] { return graph->getDescendantByString(path); });
    note(journal, RoadCall::kNoStatus, [&](Digest& d) { d.number(uid.size()).node(found); });
    libraryCall(journal, [&] { GraphCameraUtil::dumpNodeTree(graph, 3); });
}

// The kernel lists of one result graph: every stream's program group and every
// program group node, the routing, the source history and the dumps.
inline bool travelKernelLists(const VELT::IGraphConfig* graph, bool useStreamIdKey,
                              RoadOutcome& outcome) {
    RoadJournal& journal = outcome.journal;
    const About about(journal, [&](Digest& d) { d.text("kernel lists").number(useStreamIdKey); });
    // Held in place, so that constructing it is the library's allocation alone.
    std::optional<VELT::QelPekUtils> builder;
    libraryCall(journal, [&] { builder.emplace(useStreamIdKey); });
    if (!builder) {
        return false;
    }
    const int init =
        libraryCall(journal, VELT::err_internal, [&] { return builder->initPekUtils(graph); });
    noteStatus(journal, init);
    if (init != VELT::err_none) {
        return false;
    }
    std::vector<int32_t> streams;
    const int listed = libraryCall(journal, VELT::err_internal,
                                   [&] { return builder->getStreamIds(streams, false); });
    note(journal, listed, [&](Digest& d) {
        for (int32_t stream : streams) {
            d.number(stream);
        }
    });
    for (const int32_t stream : streams) {
        const About aboutStream(journal, [&](Digest& d) { d.text("stream").number(stream); });
        zo_isp_qel_program_group group{};
        const int status = libraryCall(journal, VELT::err_internal,
                                       [&] { return builder->getProgramGroup(stream, group); });
        note(journal, status, [&](Digest& d) {
            d.number(group.tuning_mode).runKernels(group.run_kernels, group.kernel_count);
        });
        if (status == VELT::err_none && group.kernel_count > 0) {
            ++outcome.programGroups;
            outcome.runKernels += group.kernel_count;
        }
        libraryCall(journal, [&] { builder->dumpKernels(stream); });
        libraryCall(journal,
                    [&] { VELT::QelPekUtils::dumpKernels(group.run_kernels, group.kernel_count); });
    }
    VELT::NodeIterator blocks(graph);
    for (VELT::IGraphConfig* block = blocks.iterateDescendants(); block != nullptr;
         block = blocks.iterateDescendants()) {
        const About aboutBlock(journal, [&](Digest& d) { d.node(block); });
        zo_isp_qel_program_group group{};
        const int status = libraryCall(journal, VELT::err_internal,
                                       [&] { return builder->getProgramGroup(block, group); });
        note(journal, status, [&](Digest& d) {
            d.number(group.tuning_mode).runKernels(group.run_kernels, group.kernel_count);
        });
    }
    VELT::QelPekUtils::RoutingInfo routing;
    const int routed =
        libraryCall(journal, VELT::err_internal, [&] { return builder->getRoutingInfo(routing); });
    note(journal, routed, [&](Digest& d) {
        for (const auto& [stream, groups] : routing) {
            d.number(stream);
            for (const auto& [id, rbm] : groups) {
                d.number(id).text(rbm);
            }
        }
    });
    zo_isp_qel_resolution_info history{};
    const int sourced = libraryCall(journal, VELT::err_internal,
                                    [&] { return builder->getSourceResolutionHistory(history); });
    note(journal, sourced, [&](Digest& d) { d.resolution(&history); });
    libraryCall(journal, [&] { builder.reset(); });
    return true;
}

// The sensor frame parameters of one result graph.
inline void travelFrameParams(const VELT::IGraphConfig* graph, RoadOutcome& outcome) {
    // A shared pointer that does not own the graph (aliasing an empty one),
    // made without allocating.
    const std::shared_ptr<const VELT::IGraphConfig> shared(std::shared_ptr<void>(), graph);
    const About about(outcome.journal, [](Digest& d) { d.text("frame parameters"); });
    zo_yad_frame_params params{};
    const int status = libraryCall(outcome.journal, VELT::err_internal, [&] {
        return VELT::GraphYadUtil::getSensorFrameParams(params, shared);
    });
    note(outcome.journal, status, [&](Digest& d) { d.bytes(&params, sizeof(params)); });
    if (status == VELT::err_none) {
        ++outcome.frameParams;
    }
}

// Travels the road on two read documents. Every result graph is destroyed
// before returning.
inline void travelRoad(const VELT::IGraphConfig* descriptor, VELT::IGraphConfig* settings,
                       RoadOutcome& outcome) {
    RoadJournal& journal = outcome.journal;
    VELT::GraphQueryManager manager;
    libraryCall(journal, [&] {
        manager.setGraphDescriptor(descriptor);
        manager.setGraphSettings(settings);
    });
    noteStatus(journal, libraryCall(journal, VELT::err_internal,
                                    [&] { return manager.validateSettingsAgainstDescriptor(); }));

    std::vector<VELT::IGraphConfig*> entries;
    outcome.queryStatus = libraryCall(journal, VELT::err_internal,
                                      [&] { return manager.queryGraphs({}, entries, true); });
    note(journal, outcome.queryStatus, [&](Digest& d) { d.nodes(entries); });
    outcome.entries = entries.size();
    // A narrower query over the first results, as a camera layer picks a
    // graph id and then a frame rate.
    VELT::GraphQueryCriteria criteria;
    const VELT::ItemUID idKey =
        libraryCall(journal, VELT::ItemUID(), [] { return VELT::ItemUID("id"); });
    const VELT::ItemUID fpsKey =
        libraryCall(journal, VELT::ItemUID(), [] { return VELT::ItemUID("fps"); });
    {
        const Bookkeeping bookkeeping(journal);
        criteria = {{idKey, "100"}, {fpsKey, "30"}};
    }
    std::vector<VELT::IGraphConfig*> picked;
    const int narrowed = libraryCall(journal, VELT::err_internal, [&] {
        return manager.queryGraphs(criteria, entries, picked, false);
    });
    note(journal, narrowed, [&](Digest& d) { d.nodes(picked); });

    uint32_t index = 0;
    for (VELT::IGraphConfig* entry : entries) {
        journal.beginEntry(++index);
        VELT::IGraphConfig* graph = nullptr;
        const int status = libraryCall(journal, VELT::err_internal,
                                       [&] { return manager.createGraph(entry, &graph); });
        note(journal, status, [&](Digest& d) { d.tree(graph); });
        // The graph is freed even when the build failed half-way.
        std::unique_ptr<VELT::IGraphConfig, void (*)(VELT::IGraphConfig*)> owned(
            graph, &VELT::GraphQueryManager::destroyGraph);
        if (status == VELT::err_none && graph != nullptr) {
            ++outcome.graphsBuilt;
            if (index == 1) {
                travelAccessors(graph, journal);
            }
            outcome.kernelListsBuilt += travelKernelLists(graph, true, outcome) ? 1 : 0;
            outcome.contextListsBuilt += travelKernelLists(graph, false, outcome) ? 1 : 0;
            travelFrameParams(graph, outcome);
        }
        if (graph != nullptr) {
            libraryCall(journal, [&] { owned.reset(); });
            ++outcome.graphsDestroyed;
        }
    }
}

}  // namespace zovesk_fuzz

#endif
