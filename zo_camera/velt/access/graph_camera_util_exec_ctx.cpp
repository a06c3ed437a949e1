// Execution contexts, sources, program groups and virtual sinks of a graph.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "velt_graph_camera_util.h"
#include "velt_item_uid.h"
#include "velt_node_iterator.h"
#include "velt_status.h"
#include "zo_camera/velt/access/graph_access_helpers.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

namespace {

// Calls visit(programGroup, id) for every program group of the graph that has an
// "exec_ctx_id"; the others are passed over, with a message when logMissing. Returns the
// result of reading the last group's id (0 when the graph has no program group).
template <typename Visit>
int visitExecCtxIds(const IGraphConfig& graph, bool logMissing, Visit&& visit) {
    int status = err_none;
    NodeIterator it(&graph);
    for (IGraphConfig* pg = it.iterateByType(kKeyProgramGroup); pg != nullptr;
         pg = it.iterateByType(kKeyProgramGroup)) {
        int id = 0;
        status = pg->getValue(kKeyExecCtxId, id);
        if (status == 0) {
            visit(*pg, id);
        } else if (logMissing) {
            ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Failed to get exec ctx ID");
        }
    }
    return status;
}

}  // namespace

int GraphCameraUtil::getExecCtxIds(const IGraphConfig& graph, std::set<int>& ids) {
    return guardStatus(__func__, err_general, [&]() -> int {
        return visitExecCtxIds(graph, false,
                               [&ids](const IGraphConfig&, int id) { ids.insert(id); });
    });
}

int GraphCameraUtil::getExecCtxIdsTuningMap(const IGraphConfig& graph,
                                            std::map<int, int>& tuningModes) {
    return guardStatus(__func__, err_general, [&]() -> int {
        return visitExecCtxIds(graph, true, [&tuningModes](const IGraphConfig& pg, int context) {
            int tuningMode = -1;
            if (pg.getValue(kKeyTuningMode, tuningMode) != 0) {
                ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Failed to get tuning mode");
            }
            const auto mapped = tuningModes.find(context);
            if (mapped == tuningModes.end()) {
                tuningModes.emplace(context, tuningMode);
            } else if (mapped->second != tuningMode) {
                ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                              "Mismatch in tuning mode (%d vs %d) for same execution Context "
                              "%d!!!                            Discard current tuning Mode",
                              mapped->second, tuningMode, context);
            }
        });
    });
}

int GraphCameraUtil::getSourceNode(const IGraphConfig* item, std::vector<IGraphConfig*>& sources) {
    return guardStatus(__func__, err_argument, [&]() -> int {
        if (item == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Null pointer given");
            return err_argument;
        }
        const size_t found = appendChildrenOfType(
            *item->getRoot(), kKeySource, sources,
            [](const IGraphConfig& source) { return intOr(source, kKeyEnabled, 1) != 0; });
        if (found == 0) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                          "ERROR: No active sources. Check that node with type source exists");
            return err_argument;
        }
        ZO_MODULE_LOG(ZO_LOG_DEBUG, velt, "Found %lu active sources from the descriptor.",
                      static_cast<unsigned long>(found));
        return err_none;
    });
}

int GraphCameraUtil::getProgramGroups(unsigned key, int value, const IGraphConfig* graph,
                                      std::vector<IGraphConfig*>& programGroups) {
    return guardStatus(__func__, err_general, [&]() -> int {
        // A program group without the attribute never matches.
        const auto matches = [key, value](const IGraphConfig& pg) {
            int pgValue = 0;
            return pg.getValue(key, pgValue) == 0 && pgValue == value;
        };
        const size_t found = graph != nullptr ? appendChildrenOfType(*graph, kKeyProgramGroup,
                                                                     programGroups, matches)
                                              : 0;
        if (found == 0) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt,
                          "Failed to find any PG's for %s id %d BUG(check graph config file)",
                          ItemUID::key2str(key), value);
            return err_general;
        }
        return err_none;
    });
}

int GraphCameraUtil::graphGetSinksByName(const std::string& namePart, const IGraphConfig* item,
                                         std::vector<IGraphConfig*>& sinks) {
    return guardStatus(__func__, err_noentry, [&]() -> int {
        if (item == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "given graph config handle is null");
            return err_argument;
        }
        // A sink without a name matches only the empty name part.
        const size_t found = appendChildrenOfType(
            *item->getRoot(), kKeySink, sinks, [&namePart](const IGraphConfig& sink) {
                std::string name;
                return namePart.empty() || (sink.getValue(kKeyName, name) == 0 &&
                                            name.find(namePart) != std::string::npos);
            });
        if (found == 0) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to find any sinks -check graph config file");
            return err_noentry;
        }
        return err_none;
    });
}

}  // namespace VELT
