#include "entry_summary.h"

#include <nlohmann/json.hpp>

#include "documents.h"
#include "node_view.h"
#include "text_table.h"

namespace velt_tool {

namespace {

bool readSize(const VELT::IGraphConfig& node, const std::string& name, StreamSize& size) {
    auto width = intAttribute(node, "width");
    auto height = intAttribute(node, "height");
    if (!width || !height) {
        return false;
    }
    size = StreamSize{name, *width, *height, textAttribute(node, "format").value_or("")};
    return true;
}

bool isOutputPortName(const std::string& name) {
    return name.find("output") != std::string::npos;
}

}  // namespace

EntrySummary summarizeEntry(const VELT::IGraphConfig& entry) {
    EntrySummary summary{entryKey(entry), entryGraphId(entry), "", {}};
    if (VELT::IGraphConfig* sensor = childNamed(entry, "sensor")) {
        summary.sensorMode = textAttribute(*sensor, "mode_id").value_or("");
    }
    // Sinks are the entry's children that carry a size themselves.
    for (VELT::IGraphConfig* child : childNodesOf(entry)) {
        StreamSize size;
        if (readSize(*child, child->getName(), size)) {
            summary.outputs.push_back(size);
        }
    }
    if (!summary.outputs.empty()) {
        return summary;
    }
    for (VELT::IGraphConfig* block : childNodesOf(entry)) {
        for (VELT::IGraphConfig* port : childNodesOf(*block)) {
            StreamSize size;
            if (isOutputPortName(port->getName()) &&
                readSize(*port, block->getName() + ":" + port->getName(), size)) {
                summary.outputs.push_back(size);
            }
        }
    }
    return summary;
}

nlohmann::json entrySummariesJson(const std::vector<EntrySummary>& entries) {
    nlohmann::json all = nlohmann::json::array();
    for (const EntrySummary& entry : entries) {
        nlohmann::json outputs = nlohmann::json::array();
        for (const StreamSize& size : entry.outputs) {
            outputs.push_back({{"name", size.name},
                               {"width", size.width},
                               {"height", size.height},
                               {"format", size.format}});
        }
        all.push_back({{"key", entry.key},
                       {"graph_id", entry.graphId},
                       {"sensor_mode", entry.sensorMode},
                       {"outputs", outputs}});
    }
    return all;
}

void printEntrySummaries(const std::vector<EntrySummary>& entries, std::ostream& out) {
    TextTable table({"key", "graph", "sensor mode", "outputs"});
    for (const EntrySummary& entry : entries) {
        std::string outputs;
        for (const StreamSize& size : entry.outputs) {
            outputs += (outputs.empty() ? "" : ", ") + size.name + " " +
                       std::to_string(size.width) + "x" + std::to_string(size.height) +
                       (size.format.empty() ? "" : " " + size.format);
        }
        table.addRow({std::to_string(entry.key), std::to_string(entry.graphId),
                      entry.sensorMode.empty() ? "-" : entry.sensorMode,
                      outputs.empty() ? "-" : outputs});
    }
    table.print(out);
}

std::vector<EntrySummary> summarizeEntries(const std::vector<VELT::IGraphConfig*>& entries) {
    std::vector<EntrySummary> summaries;
    summaries.reserve(entries.size());
    for (VELT::IGraphConfig* entry : entries) {
        summaries.push_back(summarizeEntry(*entry));
    }
    return summaries;
}

}  // namespace velt_tool
