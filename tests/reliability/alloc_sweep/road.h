// The road a camera layer travels, as one call that owns and frees all it
// makes: read the descriptor (plain file) and the settings (gzip file),
// query the settings entries and build a result graph from each.
#ifndef ZOVESK_TESTS_ALLOC_SWEEP_ROAD_H
#define ZOVESK_TESTS_ALLOC_SWEEP_ROAD_H

#include <cstddef>

namespace zovesk_test {

struct RoadOutcome {
    bool descriptorRead = false;
    bool settingsRead = false;
    int queryStatus = 1;
    size_t entries = 0;
    // Result graphs built with status 0.
    size_t graphsBuilt = 0;
    // Result graphs handed out (also on failure) and destroyed.
    size_t graphsDestroyed = 0;
};

// Paths are resolved before the first call, so a sweep's counts stay the
// same from run to run.
void prepareRoad();
RoadOutcome travelRoad();

}  // namespace zovesk_test

#endif
