#include "reliability/alloc_sweep/road.h"

#include <memory>
#include <string>
#include <vector>

#include "support/examples.h"
#include "velt_graph_config.h"
#include "velt_graph_query_manager.h"
#include "velt_parser.h"

namespace zovesk_test {

namespace {

std::string& descriptorPath() {
    static std::string path;
    return path;
}

std::string& settingsPath() {
    static std::string path;
    return path;
}

}  // namespace

void prepareRoad() {
    descriptorPath() = builtExamplePath("camera_descriptor.xml");
    settingsPath() = builtExamplePath("camera_settings.xml.gz");
}

RoadOutcome travelRoad() {
    RoadOutcome outcome;
    VELT::VELTParser parser;
    VELT::IGraphConfig* read = nullptr;
    parser.parseVELTXmlFile(descriptorPath().c_str(), &read);
    const std::unique_ptr<VELT::IGraphConfig> descriptor(read);
    read = nullptr;
    parser.parseVELTXmlFile(settingsPath().c_str(), &read);
    const std::unique_ptr<VELT::IGraphConfig> settings(read);
    outcome.descriptorRead = descriptor != nullptr;
    outcome.settingsRead = settings != nullptr;
    if (!descriptor || !settings) {
        return outcome;
    }

    VELT::GraphQueryManager manager;
    manager.setGraphDescriptor(descriptor.get());
    manager.setGraphSettings(settings.get());
    manager.validateSettingsAgainstDescriptor();
    std::vector<VELT::IGraphConfig*> entries;
    outcome.queryStatus = manager.queryGraphs({}, entries, true);
    outcome.entries = entries.size();

    for (VELT::IGraphConfig* entry : entries) {
        VELT::IGraphConfig* graph = nullptr;
        const int status = manager.createGraph(entry, &graph);
        // The graph is freed even when the build failed half-way.
        std::unique_ptr<VELT::IGraphConfig, void (*)(VELT::IGraphConfig*)> owned(
            graph, &VELT::GraphQueryManager::destroyGraph);
        if (status == 0 && graph != nullptr) {
            ++outcome.graphsBuilt;
        }
        if (graph != nullptr) {
            owned.reset();
            ++outcome.graphsDestroyed;
        }
    }
    return outcome;
}

}  // namespace zovesk_test
