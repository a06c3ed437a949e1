// Reading the compiled form of the synthetic settings document, beside
// reading its XML (reader_bench.cpp) in the same run.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "synthetic_documents.h"
#include "velt_document_compiler.h"
#include "velt_graph_config.h"
#include "velt_parser.h"

namespace zovesk_bench {

namespace {

// The compiled settings, written next to the XML on first use.
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

void BM_ReadSettingsCompiledToTree(benchmark::State& state) {
    const std::string& path = compiledSettings();
    for (auto _ : state) {
        VELT::VELTParser parser;
        VELT::IGraphConfig* root = nullptr;
        parser.parseVELTXmlFile(path.c_str(), &root);
        if (root == nullptr) {
            state.SkipWithError("reading failed");
            break;
        }
        // Freeing the tree is not part of reading it.
        state.PauseTiming();
        delete root;
        state.ResumeTiming();
    }
    const double xmlBytes = static_cast<double>(readFile(syntheticDocuments().settingsXml).size());
    state.counters["file_per_xml"] = static_cast<double>(readFile(path).size()) / xmlBytes;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(xmlBytes));
}

}  // namespace

BENCHMARK(BM_ReadSettingsCompiledToTree)->Unit(benchmark::kMillisecond);

}  // namespace zovesk_bench
