// Memory of a read tree relative to the size of the document it came from.
//
// "tree" is the heap the tree keeps once reading is done (malloc's in-use
// bytes before and after). "peak" is the growth of the resident set while
// reading, measured in a fresh child process so that heap left over from
// other benchmarks cannot hide it.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "synthetic_documents.h"
#include "velt_graph_config.h"
#include "velt_parser.h"
#include "zo_tree_cache.h"

namespace zovesk_bench {

namespace {

size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// A "Vm...:" line of /proc/self/status, in bytes.
size_t statusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t length = std::strlen(field);
    while (std::getline(status, line)) {
        if (line.compare(0, length, field) == 0) {
            return std::stoul(line.substr(length + 1)) * 1024;
        }
    }
    return 0;
}

struct TreeMemory {
    size_t retained = 0;
    size_t peak = 0;
};

// Runs in the child: resets the high-water mark, reads, measures.
TreeMemory measureInThisProcess(const std::string& path) {
    // Blocks the parent's trees left would hide the tree's heap.
    zo_tree_cache_release();
    std::ofstream("/proc/self/clear_refs") << "5";
    const size_t rssBefore = statusBytes("VmRSS:");
    const size_t heapBefore = heapInUse();
    VELT::VELTParser parser;
    VELT::IGraphConfig* root = nullptr;
    parser.parseVELTXmlFile(path.c_str(), &root);
    TreeMemory memory;
    memory.retained = heapInUse() - heapBefore;
    const size_t hwm = statusBytes("VmHWM:");
    memory.peak = hwm > rssBefore ? hwm - rssBefore : 0;
    delete root;
    return memory;
}

bool measureInChild(const std::string& path, TreeMemory& memory) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return false;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        const TreeMemory measured = measureInThisProcess(path);
        const bool written =
            write(pipeEnds[1], &measured, sizeof measured) == static_cast<ssize_t>(sizeof measured);
        _exit(written ? 0 : 1);
    }
    close(pipeEnds[1]);
    const bool ok = child > 0 && read(pipeEnds[0], &memory, sizeof memory) ==
                                     static_cast<ssize_t>(sizeof memory);
    close(pipeEnds[0]);
    if (child > 0) {
        waitpid(child, nullptr, 0);
    }
    return ok;
}

void treeMemory(benchmark::State& state, const std::string& path) {
    TreeMemory memory;
    for (auto _ : state) {
        if (!measureInChild(path, memory)) {
            state.SkipWithError("measuring failed");
            return;
        }
    }
    const double documentBytes = static_cast<double>(readFile(path).size());
    state.counters["doc_MB"] = documentBytes / 1e6;
    state.counters["tree_MB"] = static_cast<double>(memory.retained) / 1e6;
    state.counters["tree_per_doc"] = static_cast<double>(memory.retained) / documentBytes;
    state.counters["peak_per_doc"] = static_cast<double>(memory.peak) / documentBytes;
}

void BM_TreeMemorySettings(benchmark::State& state) {
    treeMemory(state, syntheticDocuments().settingsXml);
}

void BM_TreeMemoryDescriptor(benchmark::State& state) {
    treeMemory(state, syntheticDocuments().descriptorXml);
}

}  // namespace

BENCHMARK(BM_TreeMemorySettings)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TreeMemoryDescriptor)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace zovesk_bench
