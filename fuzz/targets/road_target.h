// The whole road a camera layer takes, driven by a fuzzed graph settings
// document read against a bundled graph descriptor: the settings' generation
// picks the descriptor ("ORBA6" and "ORBA7" in their version pick those
// generations' documents, anything else the generation-5 one), so both
// kernel-list builders are reached: per execution context and by subgraphs.
#ifndef ZOVESK_FUZZ_ROAD_TARGET_H
#define ZOVESK_FUZZ_ROAD_TARGET_H

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "fuzz/targets/key_snapshot.h"
#include "fuzz/targets/reader_target.h"
#include "fuzz/targets/road.h"
#include "velt_graph_config.h"
#include "velt_keys.h"
#include "velt_parser.h"

namespace zovesk_fuzz {

// A bundled descriptor read from its file, or null.
inline std::unique_ptr<VELT::IGraphConfig> readBundledDescriptor(const char* name) {
    std::ifstream stream(std::string(ZOVESK_EXAMPLES_SOURCE_DIR) + "/" + name);
    std::ostringstream text;
    text << stream.rdbuf();
    VELT::VELTParser parser;
    return readDocument(parser, text.str());
}

// The bundled descriptor for a settings version, read once; the keys of all
// of them stay in the dictionary, so every input's snapshot is taken after
// them.
inline const VELT::IGraphConfig* bundledDescriptor(const std::string& settingsVersion = "") {
    static const std::unique_ptr<VELT::IGraphConfig> generation5 =
        readBundledDescriptor("camera_descriptor.xml");
    static const std::unique_ptr<VELT::IGraphConfig> generation6 =
        readBundledDescriptor("orba6_descriptor.xml");
    static const std::unique_ptr<VELT::IGraphConfig> generation7 =
        readBundledDescriptor("orba7_descriptor.xml");
    if (settingsVersion.find("ORBA6") != std::string::npos) {
        return generation6.get();
    }
    if (settingsVersion.find("ORBA7") != std::string::npos) {
        return generation7.get();
    }
    return generation5.get();
}

// Reads one settings document and travels the road with the bundled
// descriptor of its generation; returns the road's outcome.
inline RoadOutcome runRoad(const std::string& settingsText) {
    RoadOutcome outcome;
    VELT::VELTParser parser;
    const auto settings = readDocument(parser, settingsText);
    outcome.settingsRead = settings != nullptr;
    if (!settings) {
        return outcome;
    }
    std::string version;
    settings->getValue(VELT::kKeyVersion, version);
    const VELT::IGraphConfig* descriptor = bundledDescriptor(version);
    outcome.descriptorRead = descriptor != nullptr;
    if (descriptor != nullptr) {
        travelRoad(descriptor, settings.get(), outcome);
    }
    return outcome;
}

inline void runRoadTarget(const uint8_t* data, size_t size) {
    bundledDescriptor();
    KeySnapshot keys;
    // An exception that leaves the library is a finding.
    if (runRoad(std::string(reinterpret_cast<const char*>(data), size)).journal.escapes != 0) {
        std::abort();
    }
}

}  // namespace zovesk_fuzz

#endif
