// libFuzzer entry: the XML reader (fuzz/targets/reader_target.h).
#include <cstddef>
#include <cstdint>

#include "fuzz/targets/quiet_log.h"
#include "fuzz/targets/reader_target.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    zovesk_fuzz::installQuietLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zovesk_fuzz::runReaderTarget(data, size);
    return 0;
}
