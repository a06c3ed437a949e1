// One line about a settings entry: its key, graph id, sensor mode and the
// sizes and formats it gives its sinks (or, without sinks, its output ports).
// Shared by list and query.
#ifndef VELT_TOOL_ENTRY_SUMMARY_H
#define VELT_TOOL_ENTRY_SUMMARY_H

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "cli_common.h"
#include "velt_graph_config.h"

namespace velt_tool {

struct StreamSize {
    std::string name;  // a sink's name, or "block:port"
    int width;
    int height;
    std::string format;  // empty when the entry names none
};

struct EntrySummary {
    int key;
    int graphId;
    std::string sensorMode;  // the sensor's "mode_id", or ""
    std::vector<StreamSize> outputs;
};

EntrySummary summarizeEntry(const VELT::IGraphConfig& entry);

// One row per entry: key, graph, sensor mode, outputs.
void printEntrySummaries(const std::vector<EntrySummary>& entries, std::ostream& out);
// The entries as a JSON list of {key, graph_id, sensor_mode, outputs}.
nlohmann::json entrySummariesJson(const std::vector<EntrySummary>& entries);
// The summaries of the settings entries, in the given order.
std::vector<EntrySummary> summarizeEntries(const std::vector<VELT::IGraphConfig*>& entries);

}  // namespace velt_tool

#endif
