// Documents of one small camera graph whose size is set by the rest of the
// descriptor and by the number of settings entries: a sensor, a CSI receiver
// and a chain of program groups built from one base node, padded with
// hardware blocks that no graph uses, and settings entries that differ only in
// their key. Building the graph should cost the same whatever the padding.
#ifndef ZOVESK_BENCH_SCALED_DOCUMENTS_H
#define ZOVESK_BENCH_SCALED_DOCUMENTS_H

#include <memory>
#include <string>

#include "velt_graph_config.h"

namespace zovesk_bench {

// Program groups of the graph, all built from the base node.
constexpr int kScaledGraphGroups = 10;
// Key of the first settings entry; entry e has key kScaledFirstKey + e.
constexpr int kScaledFirstKey = 30000;

// A descriptor of blocks blocks in all (at least the graph's thirteen).
std::string scaledDescriptorText(int blocks);
// Settings of entries entries of the graph, and its sensor mode.
std::string scaledSettingsText(int entries);
// A document text read into a tree; null when it cannot be read.
std::unique_ptr<VELT::IGraphConfig> readDocumentText(const std::string& text);

}  // namespace zovesk_bench

#endif
