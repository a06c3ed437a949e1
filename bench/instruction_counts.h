// Operations measured one call at a time by instruction count: run under
// callgrind with --instruction_counts (scripts/bench-instructions.sh), the
// benchmark program calls each registered operation once and writes one
// callgrind dump per operation, named after it, holding that call alone.
// Instruction counts do not depend on the load of a shared machine, so the
// ratios between them are comparable within one run.
#ifndef ZOVESK_BENCH_INSTRUCTION_COUNTS_H
#define ZOVESK_BENCH_INSTRUCTION_COUNTS_H

#include <functional>
#include <string>
#include <vector>

namespace zovesk_bench {

struct CountedOperation {
    const char* name;               // the dump's name; letters, digits and '_'
    std::function<void()> prepare;  // not counted (may be empty)
    std::function<void()> measure;  // counted
    std::function<void()> finish;   // not counted (may be empty)
};

// Adds an operation; returns true, so a file can register at start-up with
// `const bool registered = registerCountedOperation({...});`.
bool registerCountedOperation(CountedOperation operation);

// Runs the registered operations named in only (all when it is empty) in
// registration order: prepare, measure (between zeroing callgrind's counters
// and dumping them), finish. Without callgrind the operations simply run.
// Returns the program's exit status: 1 when a name is not registered.
int runCountedOperations(const std::vector<std::string>& only);

}  // namespace zovesk_bench

#endif
