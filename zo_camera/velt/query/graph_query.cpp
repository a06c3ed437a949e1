// GraphQueryManager: matching settings entries against query criteria.

#include <exception>
#include <string>

#include "velt_graph_query_manager.h"
#include "velt_keys.h"
#include "velt_node_iterator.h"
#include "velt_status.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

namespace {

// Reads the attribute under key as text: integers in decimal form. False when
// the node has no integer or string attribute there.
bool readAttributeText(const IGraphConfig& node, uint32_t key, std::string& text) {
    int number = 0;
    if (node.getValue(key, number) == err_none) {
        text = std::to_string(number);
        return true;
    }
    return node.getValue(key, text) == err_none;
}

}  // namespace

template <typename ConsiderEntries>
int GraphQueryManager::runQuery(bool strict, const std::vector<IGraphConfig*>& results,
                                ConsiderEntries&& considerEntries) {
    strict_ = strict;
    const int status = validateSettingsAgainstDescriptor();
    if (status != err_none) {
        return status;
    }
    try {
        considerEntries();
    } catch (const std::exception&) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Out of memory while querying settings");
        return err_nomemory;
    }
    return finishQuery(results);
}

int GraphQueryManager::queryGraphs(const GraphQueryCriteria& criteria,
                                   std::vector<IGraphConfig*>& results, bool strict) {
    return guardStatus(__func__, err_nomemory, [&]() -> int {
        return runQuery(strict, results, [&]() {
            NodeIterator entries(graphSettings_);
            for (IGraphConfig* entry = entries.iterateByUid(kKeySettings); entry != nullptr;
                 entry = entries.iterateByUid(kKeySettings)) {
                considerEntry(criteria, entry, results);
            }
        });
    });
}

int GraphQueryManager::queryGraphs(const GraphQueryCriteria& criteria,
                                   const std::vector<IGraphConfig*>& candidates,
                                   std::vector<IGraphConfig*>& results, bool strict) {
    return guardStatus(__func__, err_nomemory, [&]() -> int {
        return runQuery(strict, results, [&]() {
            for (IGraphConfig* candidate : candidates) {
                if (candidate != nullptr) {
                    considerEntry(criteria, candidate, results);
                }
            }
        });
    });
}

void GraphQueryManager::goThroughSearchItems(const GraphQueryCriteria& criteria,
                                             const IGraphConfig* entry, size_t& matches) {
    guardVoid(__func__, [&] {
        if (entry == nullptr) {
            return;
        }
        std::string text;
        for (const auto& criterion : criteria) {
            const ItemUID& path = criterion.first;
            const IGraphConfig* holder = path.size() == 1 ? entry : entry->getDescendant(path);
            if (holder == nullptr) {
                if (strict_) {
                    return;
                }
                continue;
            }
            if (!readAttributeText(*holder, path[path.size() - 1], text)) {
                if (strict_) {
                    return;
                }
                continue;
            }
            if (text == criterion.second) {
                ++matches;
            }
        }
    });
}

void GraphQueryManager::considerEntry(const GraphQueryCriteria& criteria, IGraphConfig* entry,
                                      std::vector<IGraphConfig*>& results) {
    size_t matches = 0;
    goThroughSearchItems(criteria, entry, matches);
    const bool taken = strict_ ? matches == criteria.size() : matches != 0;
    if (taken) {
        results.push_back(entry);
    }
}

int GraphQueryManager::finishQuery(const std::vector<IGraphConfig*>& results) const {
    if (results.empty()) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "No settings matching the query found");
        return err_general;
    }
    return err_none;
}

}  // namespace VELT
