// The road a camera layer travels once both documents are read: check the
// settings against the descriptor, query the settings entries, and for each
// entry build the result graph, its kernel lists (every stream's program
// group) and the sensor frame parameters, then free it all. The road fuzz
// target and the allocation-failure sweep both travel it.
#ifndef ZOVESK_FUZZ_ROAD_H
#define ZOVESK_FUZZ_ROAD_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "velt_graph_config.h"
#include "velt_graph_query_manager.h"
#include "velt_graph_yad_util.h"
#include "velt_item_uid.h"
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
    // Result graphs whose kernel lists were built.
    size_t kernelListsBuilt = 0;
    // Program groups handed out, one per stream of each graph.
    size_t programGroups = 0;
    // Run kernels in those program groups.
    size_t runKernels = 0;
    // Result graphs whose sensor frame parameters were computed.
    size_t frameParams = 0;

    bool operator==(const RoadOutcome& other) const {
        return descriptorRead == other.descriptorRead && settingsRead == other.settingsRead &&
               queryStatus == other.queryStatus && entries == other.entries &&
               graphsBuilt == other.graphsBuilt && graphsDestroyed == other.graphsDestroyed &&
               kernelListsBuilt == other.kernelListsBuilt && programGroups == other.programGroups &&
               runKernels == other.runKernels && frameParams == other.frameParams;
    }
    bool operator!=(const RoadOutcome& other) const { return !(*this == other); }
};

// The kernel lists of one result graph: every stream's program group.
inline void travelKernelLists(const VELT::IGraphConfig* graph, RoadOutcome& outcome) {
    VELT::QelPekUtils builder(true);
    if (builder.initPekUtils(graph) != VELT::err_none) {
        return;
    }
    ++outcome.kernelListsBuilt;
    std::vector<int32_t> streams;
    builder.getStreamIds(streams, false);
    for (const int32_t stream : streams) {
        zo_isp_qel_program_group group{};
        if (builder.getProgramGroup(stream, group) == VELT::err_none && group.kernel_count > 0) {
            ++outcome.programGroups;
            outcome.runKernels += group.kernel_count;
        }
    }
}

// The sensor frame parameters of one result graph.
inline void travelFrameParams(const VELT::IGraphConfig* graph, RoadOutcome& outcome) {
    // A shared pointer that does not own the graph (aliasing an empty one),
    // made without allocating.
    const std::shared_ptr<const VELT::IGraphConfig> shared(std::shared_ptr<void>(), graph);
    zo_yad_frame_params params{};
    if (VELT::GraphYadUtil::getSensorFrameParams(params, shared) == VELT::err_none) {
        ++outcome.frameParams;
    }
}

// Travels the road on two read documents. Every result graph is destroyed
// before returning, also when an exception (std::bad_alloc from a test's
// operator new) leaves it half-way.
inline void travelRoad(const VELT::IGraphConfig* descriptor, VELT::IGraphConfig* settings,
                       RoadOutcome& outcome) {
    VELT::GraphQueryManager manager;
    manager.setGraphDescriptor(descriptor);
    manager.setGraphSettings(settings);
    manager.validateSettingsAgainstDescriptor();

    std::vector<VELT::IGraphConfig*> entries;
    outcome.queryStatus = manager.queryGraphs({}, entries, true);
    outcome.entries = entries.size();
    // A narrower query over the first results, as a camera layer picks a
    // graph id and then a frame rate.
    const VELT::GraphQueryCriteria criteria = {
        {VELT::ItemUID("id"), "100"},
        {VELT::ItemUID("fps"), "30"},
    };
    std::vector<VELT::IGraphConfig*> picked;
    manager.queryGraphs(criteria, entries, picked, false);

    for (VELT::IGraphConfig* entry : entries) {
        VELT::IGraphConfig* graph = nullptr;
        const int status = manager.createGraph(entry, &graph);
        // The graph is freed even when the build failed half-way.
        std::unique_ptr<VELT::IGraphConfig, void (*)(VELT::IGraphConfig*)> owned(
            graph, &VELT::GraphQueryManager::destroyGraph);
        if (status == VELT::err_none && graph != nullptr) {
            ++outcome.graphsBuilt;
            travelKernelLists(graph, outcome);
            travelFrameParams(graph, outcome);
        }
        if (graph != nullptr) {
            owned.reset();
            ++outcome.graphsDestroyed;
        }
    }
}

}  // namespace zovesk_fuzz

#endif
