// Large synthetic graph descriptor and graph settings documents in the
// library's vocabulary, written once when the benchmark program starts.
#ifndef ZOVESK_BENCH_SYNTHETIC_DOCUMENTS_H
#define ZOVESK_BENCH_SYNTHETIC_DOCUMENTS_H

#include <string>

namespace zovesk_bench {

// Sizes of the generated documents.
constexpr int kDescriptorBlocks = 2000;
constexpr int kDescriptorGraphs = 100;
constexpr int kSettingsEntries = 2000;
constexpr int kSensorModes = 24;
// Blocks an entry of the settings document configures; chosen so that the
// document is about 10 MB.
constexpr int kBlocksPerEntry = 11;

struct SyntheticDocuments {
    std::string descriptorXml;  // graph descriptor, plain
    std::string settingsXml;    // graph settings, plain
    std::string settingsGz;     // the same settings, gzip-compressed
};

// Writes the documents into the benchmark data directory on the first call and
// returns their paths. Exits the program when they cannot be written.
const SyntheticDocuments& syntheticDocuments();

// The whole content of a file (exits the program when it cannot be read).
std::string readFile(const std::string& path);

// Path of a bundled example document as copied by the build (plain or .gz).
std::string examplePath(const std::string& name);

}  // namespace zovesk_bench

#endif
