// Why a query matched what it matched: how many entries meet each criterion,
// and, when no entry meets them all, the entries that come nearest with the
// values they hold instead.
#ifndef VELT_TOOL_QUERY_EXPLAIN_H
#define VELT_TOOL_QUERY_EXPLAIN_H

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "velt_graph_config.h"
#include "velt_graph_query_manager.h"

namespace velt_tool {

// One NAME=VALUE criterion as the command line gave it.
struct Criterion {
    std::string text;  // "sensor:mode_id=4208x3120_full"
    std::string name;  // "sensor:mode_id"
    std::string value;
    VELT::ItemUID path;
};

struct CriterionCount {
    const Criterion* criterion;
    size_t entries;  // entries that meet it
};

// A criterion an entry does not meet, with the value the entry holds there.
struct UnmetCriterion {
    const Criterion* criterion;
    std::optional<std::string> actual;  // empty when the entry has no such attribute
};

struct NearEntry {
    int key;
    size_t met;
    std::vector<UnmetCriterion> unmet;
};

struct QueryExplanation {
    bool strict;
    size_t entries;  // settings entries searched
    std::vector<CriterionCount> criteria;
    size_t meetingAll;
    size_t meetingAny;
    std::vector<NearEntry> nearest;  // only when no entry meets every criterion
};

// Counts with the manager's own matching, one criterion at a time.
QueryExplanation explainQuery(VELT::GraphQueryManager& manager,
                              const std::vector<VELT::IGraphConfig*>& entries,
                              const std::vector<Criterion>& criteria, bool strict);

void printQueryExplanation(const QueryExplanation& explanation, std::ostream& out);
nlohmann::json queryExplanationJson(const QueryExplanation& explanation);

}  // namespace velt_tool

#endif
