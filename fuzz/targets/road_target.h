// The whole road a camera layer takes, driven by a fuzzed graph settings
// document read against the bundled graph descriptor: read the settings,
// check them against the descriptor, and query their entries.
#ifndef ZOVESK_FUZZ_ROAD_TARGET_H
#define ZOVESK_FUZZ_ROAD_TARGET_H

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/targets/key_snapshot.h"
#include "fuzz/targets/reader_target.h"
#include "velt_graph_config.h"
#include "velt_graph_query_manager.h"
#include "velt_item_uid.h"
#include "velt_parser.h"

namespace zovesk_fuzz {

// The bundled descriptor, read once; its keys stay in the dictionary, so
// every input's snapshot is taken after them.
inline const VELT::IGraphConfig* bundledDescriptor() {
    static const std::unique_ptr<VELT::IGraphConfig> descriptor = [] {
        std::ifstream stream(std::string(ZOVESK_EXAMPLES_SOURCE_DIR) + "/camera_descriptor.xml");
        std::ostringstream text;
        text << stream.rdbuf();
        VELT::VELTParser parser;
        return readDocument(parser, text.str());
    }();
    return descriptor.get();
}

// Runs the road on one settings document against descriptor; returns the
// number of settings entries found.
inline size_t runRoad(const VELT::IGraphConfig* descriptor, const std::string& settingsText) {
    VELT::VELTParser parser;
    const auto settings = readDocument(parser, settingsText);
    if (!settings) {
        return 0;
    }
    VELT::GraphQueryManager manager;
    manager.setGraphDescriptor(descriptor);
    manager.setGraphSettings(settings.get());
    manager.validateSettingsAgainstDescriptor();

    std::vector<VELT::IGraphConfig*> entries;
    manager.queryGraphs({}, entries, true);
    // A narrower query over the first results, as a camera layer picks a
    // graph id and then a frame rate.
    const VELT::GraphQueryCriteria criteria = {
        {VELT::ItemUID("id"), "100"},
        {VELT::ItemUID("fps"), "30"},
    };
    std::vector<VELT::IGraphConfig*> picked;
    manager.queryGraphs(criteria, entries, picked, false);
    return entries.size();
}

inline void runRoadTarget(const uint8_t* data, size_t size) {
    const VELT::IGraphConfig* descriptor = bundledDescriptor();
    KeySnapshot keys;
    runRoad(descriptor, std::string(reinterpret_cast<const char*>(data), size));
}

}  // namespace zovesk_fuzz

#endif
