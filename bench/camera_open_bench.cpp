// createGraph against the size of the descriptor, and a whole camera open:
// read both documents, query the entry, build the result graph and its kernel
// lists.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bundled_graphs.h"
#include "instruction_counts.h"
#include "scaled_documents.h"
#include "synthetic_documents.h"
#include "velt_document_compiler.h"
#include "velt_graph_query_manager.h"
#include "velt_item_uid.h"
#include "velt_parser.h"
#include "velt_qel_pek_utils.h"
#include "zo_tree_cache.h"

namespace zovesk_bench {

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "zovesk_bench: %s\n", what);
    std::exit(1);
}

// The scaled graph's documents with a descriptor of the given size and one
// settings entry, given to a query manager.
class ScaledDocuments : public QueriedDocuments {
  public:
    explicit ScaledDocuments(int blocks)
        : QueriedDocuments(readDocumentText(scaledDescriptorText(blocks)),
                           readDocumentText(scaledSettingsText(1)), {}) {}
};

ScaledDocuments& scaledDocuments(int blocks) {
    static ScaledDocuments small(500);
    static ScaledDocuments large(8000);
    return blocks == 8000 ? large : small;
}

// The same graph out of a descriptor of 500 or 8,000 blocks: the cost should
// not depend on the blocks the graph does not use.
void BM_CreateGraphScaledDescriptor(benchmark::State& state) {
    createGraphEachIteration(state, scaledDocuments(static_cast<int>(state.range(0))));
}

// Documents four times the size of the synthetic ones: a descriptor of 8,000
// blocks and settings of 8,000 entries.
constexpr int kOpenBlocks = 4 * kDescriptorBlocks;
constexpr int kOpenEntries = 4 * kSettingsEntries;

struct OpenDocuments {
    std::string descriptor = scaledDescriptorText(kOpenBlocks);
    std::string settings = scaledSettingsText(kOpenEntries);
    // The same documents compiled, as a camera image would ship them.
    std::string compiledDescriptor = compiledFile(descriptor, "open_descriptor");
    std::string compiledSettings = compiledFile(settings, "open_settings");

  private:
    // Writes text as NAME.xml into the data folder, compiles it to
    // NAME.veltbin and returns that path.
    static std::string compiledFile(const std::string& text, const std::string& name) {
        std::filesystem::create_directories(ZOVESK_BENCH_DATA_DIR);
        const std::string base = std::string(ZOVESK_BENCH_DATA_DIR) + "/" + name;
        std::ofstream(base + ".xml", std::ios::binary) << text;
        std::vector<uint8_t> image;
        if (VELT::DocumentCompiler::compile((base + ".xml").c_str(), image) != 0) {
            fail("compiling the camera-open documents failed");
        }
        const std::string path = base + "." + VELT::DocumentCompiler::kFileType;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()),
                   static_cast<std::streamsize>(image.size()));
        return path;
    }
};

const OpenDocuments& openDocuments() {
    static const OpenDocuments documents;
    return documents;
}

// What a camera layer holds after opening the camera.
struct OpenCamera {
    std::unique_ptr<VELT::IGraphConfig> descriptor;
    std::unique_ptr<VELT::IGraphConfig> settings;
    VELT::IGraphConfig* graph = nullptr;
    std::unique_ptr<VELT::QelPekUtils> pek;
    ~OpenCamera() { VELT::GraphQueryManager::destroyGraph(graph); }
};

// Reads both documents, queries the last entry by key, builds its graph and
// the kernel lists; false when a step fails.
std::unique_ptr<VELT::IGraphConfig> readDocumentFile(const std::string& path) {
    VELT::VELTParser parser;
    VELT::IGraphConfig* root = nullptr;
    parser.parseVELTXmlFile(path.c_str(), &root);
    return std::unique_ptr<VELT::IGraphConfig>(root);
}

// The documents as XML text, or as their compiled files.
enum class DocumentForm { xml, compiled };

bool openCamera(const OpenDocuments& documents, OpenCamera& camera,
                DocumentForm form = DocumentForm::xml) {
    if (form == DocumentForm::xml) {
        camera.descriptor = readDocumentText(documents.descriptor);
        camera.settings = readDocumentText(documents.settings);
    } else {
        camera.descriptor = readDocumentFile(documents.compiledDescriptor);
        camera.settings = readDocumentFile(documents.compiledSettings);
    }
    if (!camera.descriptor || !camera.settings) {
        return false;
    }
    VELT::GraphQueryManager manager;
    manager.setGraphDescriptor(camera.descriptor.get());
    manager.setGraphSettings(camera.settings.get());
    std::vector<VELT::IGraphConfig*> entries;
    const VELT::GraphQueryCriteria criteria{
        {VELT::ItemUID("key"), std::to_string(kScaledFirstKey + kOpenEntries - 1)}};
    if (manager.queryGraphs(criteria, entries, true) != 0 || entries.size() != 1 ||
        manager.createGraph(entries.front(), &camera.graph) != 0) {
        return false;
    }
    camera.pek = std::make_unique<VELT::QelPekUtils>(true);
    return camera.pek->initPekUtils(camera.graph) == 0;
}

// Minor page faults of the process so far.
long minorFaults() {
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// A camera opened again and again, as a camera service does per session; the
// names of the documents are in the key dictionary after the first open. The
// second argument 0 keeps no blocks of deleted trees for the next open.
void BM_CameraOpen4x(benchmark::State& state) {
    const OpenDocuments& documents = openDocuments();
    const DocumentForm form = state.range(0) == 0 ? DocumentForm::xml : DocumentForm::compiled;
    const size_t limit = zo_tree_cache_set_limit(0);
    if (state.range(1) != 0) {
        zo_tree_cache_set_limit(limit);
    }
    // One open before the timed ones, as a camera service has opened before:
    // what is measured is the steady state, whatever ran before.
    {
        OpenCamera warm;
        if (!openCamera(documents, warm, form)) {
            state.SkipWithError("camera open failed");
            return;
        }
    }
    const long faultsBefore = minorFaults();
    for (auto _ : state) {
        OpenCamera camera;
        if (!openCamera(documents, camera, form)) {
            state.SkipWithError("camera open failed");
            break;
        }
    }
    // Pages the system had to hand out again: memory given back between
    // opens and taken anew.
    state.counters["faults_per_open"] = benchmark::Counter(
        static_cast<double>(minorFaults() - faultsBefore), benchmark::Counter::kAvgIterations);
    zo_tree_cache_set_limit(limit);
    state.counters["bytes"] =
        static_cast<double>(documents.descriptor.size() + documents.settings.size());
}

// For instruction counts: the graphs' documents are read (and their names
// known) before anything is counted; what was built is freed uncounted.
VELT::IGraphConfig* g_countedGraph = nullptr;
std::unique_ptr<OpenCamera> g_countedCamera;

void createScaledGraph(int blocks) {
    ScaledDocuments& documents = scaledDocuments(blocks);
    if (documents.entry() == nullptr ||
        documents.manager().createGraph(documents.entry(), &g_countedGraph) != 0) {
        fail("createGraph of the scaled documents failed");
    }
}

void destroyCountedGraph() {
    VELT::GraphQueryManager::destroyGraph(g_countedGraph);
    g_countedGraph = nullptr;
}

void warmOpen() {
    OpenCamera camera;
    if (!openCamera(openDocuments(), camera)) {
        fail("camera open failed");
    }
    g_countedCamera = std::make_unique<OpenCamera>();
}

[[maybe_unused]] const bool kCounted[] = {
    registerCountedOperation({"create_graph_scaled_500", [] { scaledDocuments(500); },
                              [] { createScaledGraph(500); }, destroyCountedGraph}),
    registerCountedOperation({"create_graph_scaled_8000", [] { scaledDocuments(8000); },
                              [] { createScaledGraph(8000); }, destroyCountedGraph}),
    registerCountedOperation({"camera_open_4x", warmOpen,
                              [] {
                                  if (!openCamera(openDocuments(), *g_countedCamera)) {
                                      fail("camera open failed");
                                  }
                              },
                              [] { g_countedCamera.reset(); }}),
    registerCountedOperation({"camera_open_4x_compiled", warmOpen,
                              [] {
                                  if (!openCamera(openDocuments(), *g_countedCamera,
                                                  DocumentForm::compiled)) {
                                      fail("camera open failed");
                                  }
                              },
                              [] { g_countedCamera.reset(); }}),
};

}  // namespace

BENCHMARK(BM_CreateGraphScaledDescriptor)->Arg(500)->Arg(8000)->Unit(benchmark::kMicrosecond);
// Arguments: 0 the XML documents, 1 their compiled files; 1 with the tree
// block cache, 0 without.
BENCHMARK(BM_CameraOpen4x)->ArgsProduct({{0, 1}, {1, 0}})->Unit(benchmark::kMillisecond);

}  // namespace zovesk_bench
