// One run of velt check over a descriptor and its settings: every rule over
// both documents, every entry built, and the report in text or JSON.
#ifndef VELT_TOOL_LINT_CHECK_RUN_H
#define VELT_TOOL_LINT_CHECK_RUN_H

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "lint/diagnostics.h"
#include "lint/entry_rules.h"

namespace velt_tool {
namespace lint {

struct CheckRun {
    Diagnostics diagnostics;
    std::string descriptorVersion;
    std::string settingsVersion;
    StepResult version;  // the library's version check
    bool built = false;  // both documents were read and every entry was built
    std::vector<EntryResult> entries;
};

// Checks both documents. ToolError (bad input) when a document cannot be
// read at all; a syntax error is a finding.
CheckRun runChecks(const std::string& descriptorPath, const std::string& settingsPath);

// 0 without errors (and, with werror, without warnings), else 1.
int checkExitStatus(const CheckRun& run, bool werror);

// The diagnostics ("FILE:LINE:COLUMN: SEVERITY: message [code]", notes only
// when withNotes), then the version check and one line per entry.
void printCheckReport(const CheckRun& run, bool withNotes, std::ostream& out);

// The whole report as one value: "ok", "diagnostics", "version", "entries"
// and "summary".
nlohmann::json checkReportJson(const CheckRun& run, bool withNotes, bool werror);

}  // namespace lint
}  // namespace velt_tool

#endif
