// What velt check finds: one diagnostic per finding, with the place in the
// document, in the form editors and CI parsers read
// ("FILE:LINE:COLUMN: SEVERITY: message").
#ifndef VELT_TOOL_LINT_DIAGNOSTICS_H
#define VELT_TOOL_LINT_DIAGNOSTICS_H

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "lint/source_document.h"

namespace velt_tool {
namespace lint {

// error: the documents are wrong; warning: probably wrong; note: what the
// library does by design, worth knowing.
enum class Severity { kError, kWarning, kNote };

const char* severityName(Severity severity);

struct Diagnostic {
    std::string file;
    SourcePosition position;
    Severity severity;
    std::string code;  // a stable short identifier of the rule, e.g. "unknown-port"
    std::string message;
    std::optional<int> entryKey;  // the settings entry the finding belongs to
};

// The findings of one run, in the order they were made.
class Diagnostics {
  public:
    void add(Severity severity, const std::string& code, const std::string& file,
             SourcePosition position, const std::string& message,
             std::optional<int> entryKey = std::nullopt);
    // A finding about one settings entry: the message follows "settings KEY: ".
    void addForEntry(Severity severity, const std::string& code, const std::string& file,
                     SourcePosition position, int entryKey, const std::string& message);
    // The findings ordered by file (in the order files were first named), line and column.
    std::vector<Diagnostic> sorted() const;
    size_t count(Severity severity) const;

  private:
    std::vector<Diagnostic> diagnostics_;
};

// "FILE:LINE:COLUMN: SEVERITY: message [code]".
std::string formatDiagnostic(const Diagnostic& diagnostic);

// {"file", "line", "column", "severity", "code", "message"[, "entry"]}.
nlohmann::json diagnosticJson(const Diagnostic& diagnostic);

// The nearest of candidates to word by edit distance, when it is near enough
// to be a likely misspelling (and is not word itself); "" otherwise.
std::string nearestName(const std::string& word, const std::vector<std::string>& candidates);
// " (did you mean 'NAME'?)" for the nearest candidate, or "".
std::string suggestion(const std::string& word, const std::vector<std::string>& candidates);

}  // namespace lint
}  // namespace velt_tool

#endif
