// Rules about names that refer to other parts of the documents: the blocks
// and ports that connections and overrides name, the graph id, sensor mode
// and blocks of each settings entry, and settings keys used twice.
#ifndef VELT_TOOL_LINT_REFERENCE_RULES_H
#define VELT_TOOL_LINT_REFERENCE_RULES_H

#include "lint/descriptor_index.h"
#include "lint/diagnostics.h"
#include "lint/source_document.h"

namespace velt_tool {
namespace lint {

// Connections and overrides of every descriptor graph.
void checkDescriptorReferences(const SourceDocument& descriptor, const DescriptorIndex& index,
                               Diagnostics& out);

// Every settings entry against the descriptor and the other entries.
void checkSettingsReferences(const SourceDocument& settings, const DescriptorIndex& index,
                             Diagnostics& out);

// The <settings> entries of a settings document and the key each is read with.
struct SourceEntry {
    size_t element;
    int key;
};
std::vector<SourceEntry> sourceEntries(const SourceDocument& settings);

}  // namespace lint
}  // namespace velt_tool

#endif
