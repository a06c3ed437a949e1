// Reading documents into trees, next to the floor any expat-based reader has:
// expat itself with empty handlers, fed the same bytes the same way; and
// deleting the trees read, and reading the compiled form of the same
// settings. Each is measured by CPU time (Google Benchmark) and, one call at a
// time, by instruction count (instruction_counts.h).

#include <benchmark/benchmark.h>
#include <expat.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "instruction_counts.h"
#include "synthetic_documents.h"
#include "velt_document_compiler.h"
#include "velt_graph_config.h"
#include "velt_parser.h"

namespace zovesk_bench {

namespace {

constexpr size_t kBlock = VELT::VELTParser::kBlockSize;

void emptyStart(void*, const char*, const char**) {}
void emptyEnd(void*, const char*) {}

XML_Parser bareParser() {
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetElementHandler(parser, emptyStart, emptyEnd);
    return parser;
}

// Plain file in reader-sized blocks, as the reader streams it.
bool bareParseFile(const std::string& path) {
    XML_Parser parser = bareParser();
    FILE* file = std::fopen(path.c_str(), "r");
    char block[kBlock];
    bool ok = file != nullptr;
    while (ok) {
        const size_t count = std::fread(block, 1, kBlock, file);
        const bool final = count < kBlock;
        ok = XML_Parse(parser, block, static_cast<int>(count), final) != XML_STATUS_ERROR;
        if (final) {
            break;
        }
    }
    if (file != nullptr) {
        std::fclose(file);
    }
    XML_ParserFree(parser);
    return ok;
}

// Gzip file inflated in reader-sized blocks, each parsed at once.
bool bareParseGz(const std::string& path) {
    XML_Parser parser = bareParser();
    gzFile file = gzopen(path.c_str(), "rb");
    char block[kBlock];
    bool ok = file != nullptr;
    while (ok) {
        const int count = gzread(file, block, static_cast<unsigned>(kBlock));
        const bool final = count < static_cast<int>(kBlock);
        ok = count >= 0 && XML_Parse(parser, block, count, final) != XML_STATUS_ERROR;
        if (final) {
            break;
        }
    }
    if (file != nullptr) {
        gzclose(file);
    }
    XML_ParserFree(parser);
    return ok;
}

// Inflating alone, to split the gzip floor into its parts.
bool inflateOnly(const std::string& path) {
    gzFile file = gzopen(path.c_str(), "rb");
    char block[kBlock];
    int count = 0;
    while (file != nullptr && (count = gzread(file, block, static_cast<unsigned>(kBlock))) > 0) {
        benchmark::DoNotOptimize(block[0]);
    }
    if (file != nullptr) {
        gzclose(file);
    }
    return file != nullptr && count == 0;
}

void setBytes(benchmark::State& state, const std::string& path) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(readFile(path).size()));
}

VELT::IGraphConfig* readTree(const std::string& path) {
    VELT::VELTParser parser;
    VELT::IGraphConfig* root = nullptr;
    parser.parseVELTXmlFile(path.c_str(), &root);
    return root;
}

void readToTree(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        VELT::IGraphConfig* root = readTree(path);
        if (root == nullptr) {
            state.SkipWithError("reading failed");
            break;
        }
        // Freeing the tree is not part of reading it.
        state.PauseTiming();
        delete root;
        state.ResumeTiming();
    }
}

// Deleting a tree read from path; reading it is not timed.
void deleteTree(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        state.PauseTiming();
        VELT::IGraphConfig* root = readTree(path);
        state.ResumeTiming();
        if (root == nullptr) {
            state.SkipWithError("reading failed");
            break;
        }
        delete root;
    }
}

void BM_ReadSettingsToTree(benchmark::State& state) {
    const std::string& path = syntheticDocuments().settingsXml;
    readToTree(state, path);
    setBytes(state, path);
}

void BM_BareExpatSettings(benchmark::State& state) {
    const std::string& path = syntheticDocuments().settingsXml;
    for (auto _ : state) {
        if (!bareParseFile(path)) {
            state.SkipWithError("parse failed");
            break;
        }
    }
    setBytes(state, path);
}

void BM_ReadSettingsGzToTree(benchmark::State& state) {
    readToTree(state, syntheticDocuments().settingsGz);
    setBytes(state, syntheticDocuments().settingsXml);
}

void BM_InflatePlusBareExpatSettingsGz(benchmark::State& state) {
    const std::string& path = syntheticDocuments().settingsGz;
    for (auto _ : state) {
        if (!bareParseGz(path)) {
            state.SkipWithError("parse failed");
            break;
        }
    }
    setBytes(state, syntheticDocuments().settingsXml);
}

void BM_InflateSettingsGz(benchmark::State& state) {
    for (auto _ : state) {
        if (!inflateOnly(syntheticDocuments().settingsGz)) {
            state.SkipWithError("inflate failed");
            break;
        }
    }
    setBytes(state, syntheticDocuments().settingsXml);
}

void BM_ReadDescriptorToTree(benchmark::State& state) {
    const std::string& path = syntheticDocuments().descriptorXml;
    readToTree(state, path);
    setBytes(state, path);
}

void BM_BareExpatDescriptor(benchmark::State& state) {
    const std::string& path = syntheticDocuments().descriptorXml;
    for (auto _ : state) {
        if (!bareParseFile(path)) {
            state.SkipWithError("parse failed");
            break;
        }
    }
    setBytes(state, path);
}

void BM_DeleteSettingsTree(benchmark::State& state) {
    deleteTree(state, syntheticDocuments().settingsXml);
}

void BM_DeleteDescriptorTree(benchmark::State& state) {
    deleteTree(state, syntheticDocuments().descriptorXml);
}

// The compiled settings, written next to the XML on first use ("" when
// compiling fails).
const std::string& compiledSettings() {
    static const std::string path = [] {
        const std::string xml = syntheticDocuments().settingsXml;
        const std::string compiled = xml.substr(0, xml.rfind('.')) + ".veltbin";
        std::vector<uint8_t> image;
        if (VELT::DocumentCompiler::compile(xml.c_str(), image) != 0) {
            return std::string();
        }
        std::ofstream(compiled, std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()),
                   static_cast<std::streamsize>(image.size()));
        return compiled;
    }();
    return path;
}

// The same operations, one call each, for instruction counts. The first
// read of each document adds its names to the key dictionary, so both are
// read once before anything is counted.
VELT::IGraphConfig* g_countedTree = nullptr;

void readCountedTree(const std::string& path) {
    g_countedTree = readTree(path);
}

void deleteCountedTree() {
    delete g_countedTree;
    g_countedTree = nullptr;
}

void warmUp() {
    static const bool warm = [] {
        delete readTree(syntheticDocuments().descriptorXml);
        delete readTree(syntheticDocuments().settingsXml);
        return true;
    }();
    static_cast<void>(warm);
}

void warmUpAndRead(const std::string& path) {
    warmUp();
    readCountedTree(path);
}

const std::string& settingsXml() {
    return syntheticDocuments().settingsXml;
}
const std::string& settingsGz() {
    return syntheticDocuments().settingsGz;
}
const std::string& descriptorXml() {
    return syntheticDocuments().descriptorXml;
}

[[maybe_unused]] const bool kCounted[] = {
    registerCountedOperation(
        {"read_settings", warmUp, [] { readCountedTree(settingsXml()); }, deleteCountedTree}),
    registerCountedOperation(
        {"bare_expat_settings", warmUp, [] { bareParseFile(settingsXml()); }, {}}),
    registerCountedOperation(
        {"read_settings_gz", warmUp, [] { readCountedTree(settingsGz()); }, deleteCountedTree}),
    registerCountedOperation(
        {"inflate_bare_expat_settings_gz", warmUp, [] { bareParseGz(settingsGz()); }, {}}),
    registerCountedOperation({"inflate_settings_gz", {}, [] { inflateOnly(settingsGz()); }, {}}),
    registerCountedOperation(
        {"delete_settings", [] { warmUpAndRead(settingsXml()); }, deleteCountedTree, {}}),
    registerCountedOperation(
        {"read_descriptor", warmUp, [] { readCountedTree(descriptorXml()); }, deleteCountedTree}),
    registerCountedOperation(
        {"bare_expat_descriptor", warmUp, [] { bareParseFile(descriptorXml()); }, {}}),
    registerCountedOperation(
        {"delete_descriptor", [] { warmUpAndRead(descriptorXml()); }, deleteCountedTree, {}}),
    registerCountedOperation({"read_settings_compiled",
                              [] {
                                  warmUp();
                                  compiledSettings();
                              },
                              [] { readCountedTree(compiledSettings()); }, deleteCountedTree}),
};

void BM_ReadSettingsCompiledToTree(benchmark::State& state) {
    const std::string& path = compiledSettings();
    readToTree(state, path);
    setBytes(state, syntheticDocuments().settingsXml);
    state.counters["file_per_xml"] =
        static_cast<double>(readFile(path).size()) /
        static_cast<double>(readFile(syntheticDocuments().settingsXml).size());
}

}  // namespace

BENCHMARK(BM_ReadSettingsToTree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareExpatSettings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadSettingsGzToTree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InflatePlusBareExpatSettingsGz)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InflateSettingsGz)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDescriptorToTree)->Unit(benchmark::kMillisecond);
// Several cameras opened at once: each thread reads its own copy. Reading
// takes no lock per name, so time per read stays flat up to the core count.
BENCHMARK(BM_ReadSettingsToTree)
    ->Name("BM_ReadSettingsToTreeThreads")
    ->Threads(1)
    ->Threads(4)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDescriptorToTree)
    ->Name("BM_ReadDescriptorToTreeThreads")
    ->Threads(1)
    ->Threads(4)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareExpatDescriptor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteSettingsTree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteDescriptorTree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadSettingsCompiledToTree)->Unit(benchmark::kMillisecond);

}  // namespace zovesk_bench
