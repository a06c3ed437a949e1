// The registry and runner of operations measured by instruction count.

#include "instruction_counts.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define ZOVESK_COUNT_START() CALLGRIND_START_INSTRUMENTATION
#define ZOVESK_COUNT_ZERO() CALLGRIND_ZERO_STATS
#define ZOVESK_COUNT_DUMP(name) CALLGRIND_DUMP_STATS_AT(name)
#define ZOVESK_UNDER_CALLGRIND() (RUNNING_ON_VALGRIND != 0)
#else
#define ZOVESK_COUNT_START()
#define ZOVESK_COUNT_ZERO()
#define ZOVESK_COUNT_DUMP(name) static_cast<void>(name)
#define ZOVESK_UNDER_CALLGRIND() false
#endif

namespace zovesk_bench {

namespace {

std::vector<CountedOperation>& operations() {
    static std::vector<CountedOperation> registered;
    return registered;
}

}  // namespace

bool registerCountedOperation(CountedOperation operation) {
    operations().push_back(std::move(operation));
    return true;
}

int runCountedOperations(const std::vector<std::string>& only) {
    for (const std::string& name : only) {
        if (std::none_of(operations().begin(), operations().end(),
                         [&name](const CountedOperation& op) { return name == op.name; })) {
            std::fprintf(stderr, "zovesk_bench: no counted operation %s\n", name.c_str());
            return 1;
        }
    }
    if (!ZOVESK_UNDER_CALLGRIND()) {
        std::fprintf(stderr, "zovesk_bench: not under callgrind, nothing is counted\n");
    }
    // Instrumentation may have been left off until here (--instr-atstart=no),
    // so writing the documents costs little.
    ZOVESK_COUNT_START();
    for (const CountedOperation& operation : operations()) {
        if (!only.empty() && std::find(only.begin(), only.end(), operation.name) == only.end()) {
            continue;
        }
        if (operation.prepare) {
            operation.prepare();
        }
        ZOVESK_COUNT_ZERO();
        operation.measure();
        ZOVESK_COUNT_DUMP(operation.name);
        if (operation.finish) {
            operation.finish();
        }
        std::printf("counted %s\n", operation.name);
    }
    return 0;
}

}  // namespace zovesk_bench
