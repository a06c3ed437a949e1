// libFuzzer entry: the format arithmetic (fuzz/targets/formats_target.h).
#include <cstddef>
#include <cstdint>

#include "fuzz/targets/formats_target.h"
#include "fuzz/targets/quiet_log.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    zovesk_fuzz::installQuietLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zovesk_fuzz::runFormatsTarget(data, size);
    return 0;
}
