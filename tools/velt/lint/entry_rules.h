// Building every settings entry as the library does, and what the builds
// tell: failed result graphs and kernel lists (with the library's messages
// at the entry's line), ports left without peers, kernels no stream reaches,
// and the library's warnings and by-design notes.
#ifndef VELT_TOOL_LINT_ENTRY_RULES_H
#define VELT_TOOL_LINT_ENTRY_RULES_H

#include <vector>

#include "documents.h"
#include "lint/diagnostics.h"
#include "lint/source_document.h"
#include "log_router.h"

namespace velt_tool {
namespace lint {

struct StepResult {
    int status = 0;
    std::vector<LogMessage> messages;
};

struct EntryResult {
    int key;
    int graphId;
    StepResult graph;
    bool kernelsTried = false;
    StepResult kernels;
    bool ok() const { return graph.status == 0 && kernelsTried && kernels.status == 0; }
};

// Where an entry stands in the settings document.
struct EntrySource {
    const SourceDocument& settings;
    size_t element;  // the <settings> element
};

// Builds entry's result graph and kernel lists and reports what they show.
EntryResult checkEntry(Documents& documents, VELT::IGraphConfig* entry, const EntrySource& source,
                       Diagnostics& out);

}  // namespace lint
}  // namespace velt_tool

#endif
