#include "lint/diagnostics.h"

#include <algorithm>

#include "edit_distance.h"

namespace velt_tool {
namespace lint {

const char* severityName(Severity severity) {
    switch (severity) {
        case Severity::kError:
            return "error";
        case Severity::kWarning:
            return "warning";
        case Severity::kNote:
            return "note";
    }
    return "note";
}

void Diagnostics::add(Severity severity, const std::string& code, const std::string& file,
                      SourcePosition position, const std::string& message,
                      std::optional<int> entryKey) {
    diagnostics_.push_back({file, position, severity, code, message, entryKey});
}

void Diagnostics::addForEntry(Severity severity, const std::string& code, const std::string& file,
                              SourcePosition position, int entryKey, const std::string& message) {
    add(severity, code, file, position, "settings " + std::to_string(entryKey) + ": " + message,
        entryKey);
}

std::vector<Diagnostic> Diagnostics::sorted() const {
    std::vector<std::string> files;
    for (const Diagnostic& diagnostic : diagnostics_) {
        if (std::find(files.begin(), files.end(), diagnostic.file) == files.end()) {
            files.push_back(diagnostic.file);
        }
    }
    auto fileIndex = [&files](const std::string& file) {
        return std::find(files.begin(), files.end(), file) - files.begin();
    };
    std::vector<Diagnostic> ordered = diagnostics_;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [&fileIndex](const Diagnostic& a, const Diagnostic& b) {
                         auto ia = fileIndex(a.file);
                         auto ib = fileIndex(b.file);
                         if (ia != ib) {
                             return ia < ib;
                         }
                         if (a.position.line != b.position.line) {
                             return a.position.line < b.position.line;
                         }
                         return a.position.column < b.position.column;
                     });
    return ordered;
}

size_t Diagnostics::count(Severity severity) const {
    return static_cast<size_t>(
        std::count_if(diagnostics_.begin(), diagnostics_.end(),
                      [severity](const Diagnostic& d) { return d.severity == severity; }));
}

std::string formatDiagnostic(const Diagnostic& diagnostic) {
    return diagnostic.file + ":" + std::to_string(diagnostic.position.line) + ":" +
           std::to_string(diagnostic.position.column) + ": " + severityName(diagnostic.severity) +
           ": " + diagnostic.message + " [" + diagnostic.code + "]";
}

nlohmann::json diagnosticJson(const Diagnostic& diagnostic) {
    nlohmann::json json = {{"file", diagnostic.file},
                           {"line", diagnostic.position.line},
                           {"column", diagnostic.position.column},
                           {"severity", severityName(diagnostic.severity)},
                           {"code", diagnostic.code},
                           {"message", diagnostic.message}};
    if (diagnostic.entryKey) {
        json["entry"] = *diagnostic.entryKey;
    }
    return json;
}

std::string nearestName(const std::string& word, const std::vector<std::string>& candidates) {
    // Up to a third of the word may differ, and two edits in any word.
    const size_t limit = std::max<size_t>(2, word.size() / 3);
    std::string best;
    size_t bestDistance = limit + 1;
    for (const std::string& candidate : candidates) {
        const size_t distance = editDistance(word, candidate);
        if (distance > 0 && distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

std::string suggestion(const std::string& word, const std::vector<std::string>& candidates) {
    const std::string nearest = nearestName(word, candidates);
    return nearest.empty() ? "" : " (did you mean '" + nearest + "'?)";
}

}  // namespace lint
}  // namespace velt_tool
