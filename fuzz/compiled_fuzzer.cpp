// libFuzzer entry: the compiled-document reader and compiler
// (fuzz/targets/compiled_target.h).
#include <cstddef>
#include <cstdint>

#include "fuzz/targets/compiled_target.h"
#include "fuzz/targets/quiet_log.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    zovesk_fuzz::installQuietLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zovesk_fuzz::runCompiledTarget(data, size);
    return 0;
}
