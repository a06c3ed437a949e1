// libFuzzer entry: the whole road from a settings document (fuzz/targets/road_target.h).
#include <cstddef>
#include <cstdint>

#include "fuzz/targets/quiet_log.h"
#include "fuzz/targets/road_target.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    zovesk_fuzz::installQuietLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zovesk_fuzz::runRoadTarget(data, size);
    return 0;
}
