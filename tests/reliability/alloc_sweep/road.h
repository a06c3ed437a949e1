// The road a camera layer travels, as one call that owns and frees all it
// makes: read a descriptor (plain file) and its settings (gzip file), then
// travel the shared road (fuzz/targets/road.h) from them.
#ifndef ZOVESK_TESTS_ALLOC_SWEEP_ROAD_H
#define ZOVESK_TESTS_ALLOC_SWEEP_ROAD_H

#include <string>

#include "fuzz/targets/road.h"

namespace zovesk_test {

using zovesk_fuzz::RoadCall;
using zovesk_fuzz::RoadOutcome;

// The example documents of one generation, by the prefix of their names:
// "camera" (generation 5, kernel lists per execution context), "orba6" and
// "orba7" (kernel lists by subgraphs).
struct RoadDocuments {
    std::string descriptorPath;
    std::string settingsPath;
};

// Paths are resolved before the sweep, so its counts stay the same from run
// to run.
RoadDocuments roadDocuments(const std::string& prefix);
// Travels the road into outcome, whose journal the caller has set up.
void travelRoad(const RoadDocuments& documents, RoadOutcome& outcome);

}  // namespace zovesk_test

#endif
