// One line about a settings entry: its key, graph id, sensor mode and the
// sizes and formats it gives its sinks (or, without sinks, its output ports).
// Shared by list and query.
#ifndef VELT_TOOL_ENTRY_SUMMARY_H
#define VELT_TOOL_ENTRY_SUMMARY_H

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

// A table (one row per entry) or a JSON array.
void printEntrySummaries(const std::vector<EntrySummary>& entries, OutputFormat format,
                         std::ostream& out);
// Summarizes the settings entries and prints them as printEntrySummaries does.
void printSettingsEntries(const std::vector<VELT::IGraphConfig*>& entries, OutputFormat format,
                          std::ostream& out);

}  // namespace velt_tool

#endif
