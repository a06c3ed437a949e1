// The benchmark program: writes the synthetic documents, runs the benchmarks,
// and ends with the ratios the suite is judged by, all from this one run.
//
// The ratios use CPU time per iteration (the lowest over repetitions when
// --benchmark_repetitions is given), since wall-clock time on a shared
// machine mostly measures the neighbours. As the first argument,
// --instruction_counts runs the operations of instruction_counts.h instead
// (those named by the further arguments, or all).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "instruction_counts.h"
#include "synthetic_documents.h"

namespace zovesk_bench {

namespace {

struct Ratio {
    const char* what;
    const char* numerator;
    const char* denominator;
    double target;  // the highest acceptable ratio; 0 when informative only
};

const Ratio kRatios[] = {
    {"read-to-tree / bare expat (settings)", "BM_ReadSettingsToTree", "BM_BareExpatSettings", 1.3},
    {"gzip read-to-tree / (inflate + bare expat)", "BM_ReadSettingsGzToTree",
     "BM_InflatePlusBareExpatSettingsGz", 1.3},
    {"read-to-tree / bare expat (descriptor)", "BM_ReadDescriptorToTree", "BM_BareExpatDescriptor",
     0},
    {"deleting the tree / reading it (settings)", "BM_DeleteSettingsTree", "BM_ReadSettingsToTree",
     0.03},
    {"deleting the tree / reading it (descriptor)", "BM_DeleteDescriptorTree",
     "BM_ReadDescriptorToTree", 0.03},
    {"compiled read / XML read (settings)", "BM_ReadSettingsCompiledToTree",
     "BM_ReadSettingsToTree", 0.05},
    {"NodeIterator walk 1,000 / 100 children", "BM_NodeIteratorFullWalk/1000",
     "BM_NodeIteratorFullWalk/100", 12},
    {"NodeIterator by type 1,000 / 100 children", "BM_NodeIteratorWalkByType/1000",
     "BM_NodeIteratorWalkByType/100", 12},
    {"key2str linear scan / indexed (speed-up)", "BM_LinearScanKey2strOfThousandChildren",
     "BM_Key2strOfThousandChildren", 0},
};

// Counters reported as ratios by the memory benchmarks.
const std::pair<const char*, double> kMemoryTargets[] = {
    {"BM_TreeMemorySettings", 3},
    {"BM_TreeMemoryDescriptor", 3.5},
};

// Benchmarks whose time per call is judged on its own, with its limit in seconds.
const std::pair<const char*, double> kTimeTargets[] = {
    {"BM_CreateGraphBundled/6000", 1e-3},  {"BM_CreateGraphBundled/6100", 1e-3},
    {"BM_InitPekUtilsBundled/6000", 1e-3}, {"BM_InitPekUtilsBundled/6100", 1e-3},
    {"BM_InitPekUtilsBundled/6", 1e-3},    {"BM_InitPekUtilsBundled/7", 1e-3},
    {"BM_GraphUtilInitBundled/6", 1e-3},   {"BM_GraphUtilInitBundled/7", 1e-3},
};

// The console output, plus the lowest CPU time per iteration of every
// benchmark and the counters of its last run.
class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& reports) override {
        ConsoleReporter::ReportRuns(reports);
        for (const Run& run : reports) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) {
                continue;
            }
            // Fixed iteration counts add "/iterations:N" to the name.
            std::string name = run.benchmark_name();
            name = name.substr(0, name.find("/iterations:"));
            const double seconds = run.cpu_accumulated_time / static_cast<double>(run.iterations);
            auto [it, inserted] = seconds_.emplace(name, seconds);
            if (!inserted && seconds < it->second) {
                it->second = seconds;
            }
            counters_[name] = run.counters;
        }
    }

    void printSummary() const {
        std::printf("\n%-46s %10s %8s\n", "ratio (CPU time, same run)", "measured", "target");
        for (const Ratio& ratio : kRatios) {
            auto numerator = seconds_.find(ratio.numerator);
            auto denominator = seconds_.find(ratio.denominator);
            if (numerator == seconds_.end() || denominator == seconds_.end()) {
                continue;
            }
            printLine(ratio.what, numerator->second / denominator->second, ratio.target);
        }
        for (const auto& [name, target] : kMemoryTargets) {
            auto counters = counters_.find(name);
            if (counters == counters_.end()) {
                continue;
            }
            const std::string label = std::string(name + 3);
            printLine((label + ": tree / document").c_str(),
                      counters->second.at("tree_per_doc").value, target);
            printLine((label + ": peak / document").c_str(),
                      counters->second.at("peak_per_doc").value, 0);
        }
        for (const auto& [name, limit] : kTimeTargets) {
            auto seconds = seconds_.find(name);
            if (seconds == seconds_.end()) {
                continue;
            }
            std::printf("%-46s %8.3f ms %5.3f ms %s\n", name + 3, seconds->second * 1e3,
                        limit * 1e3, seconds->second <= limit ? "ok" : "MISSED");
        }
    }

  private:
    static void printLine(const char* what, double measured, double target) {
        if (target > 0) {
            std::printf("%-46s %10.2f %8.2f %s\n", what, measured, target,
                        measured <= target ? "ok" : "MISSED");
        } else {
            std::printf("%-46s %10.2f %8s\n", what, measured, "-");
        }
    }

    std::map<std::string, double> seconds_;
    std::map<std::string, benchmark::UserCounters> counters_;
};

}  // namespace

}  // namespace zovesk_bench

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--instruction_counts") == 0) {
        zovesk_bench::syntheticDocuments();
        return zovesk_bench::runCountedOperations(std::vector<std::string>(argv + 2, argv + argc));
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    zovesk_bench::syntheticDocuments();
    zovesk_bench::RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    benchmark::Shutdown();
    return 0;
}
