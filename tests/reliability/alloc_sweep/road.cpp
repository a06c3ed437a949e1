#include "reliability/alloc_sweep/road.h"

#include <memory>

#include "support/examples.h"
#include "velt_graph_config.h"
#include "velt_parser.h"

namespace zovesk_test {

RoadDocuments roadDocuments(const std::string& prefix) {
    return {builtExamplePath(prefix + "_descriptor.xml"),
            builtExamplePath(prefix + "_settings.xml.gz")};
}

RoadOutcome travelRoad(const RoadDocuments& documents) {
    RoadOutcome outcome;
    VELT::VELTParser parser;
    VELT::IGraphConfig* read = nullptr;
    parser.parseVELTXmlFile(documents.descriptorPath.c_str(), &read);
    const std::unique_ptr<VELT::IGraphConfig> descriptor(read);
    read = nullptr;
    parser.parseVELTXmlFile(documents.settingsPath.c_str(), &read);
    const std::unique_ptr<VELT::IGraphConfig> settings(read);
    outcome.descriptorRead = descriptor != nullptr;
    outcome.settingsRead = settings != nullptr;
    if (descriptor && settings) {
        zovesk_fuzz::travelRoad(descriptor.get(), settings.get(), outcome);
    }
    return outcome;
}

}  // namespace zovesk_test
