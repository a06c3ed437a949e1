#include "lint/diagnostics.h"

#include <algorithm>

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

namespace {

// Edits that turn a into b: insertions, deletions, substitutions and swaps
// of two neighbouring letters ("widht" is one edit from "width").
size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i) {
        d[i][0] = i;
    }
    for (size_t j = 0; j <= b.size(); ++j) {
        d[0][j] = j;
    }
    for (size_t i = 1; i <= a.size(); ++i) {
        for (size_t j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                                d[i - 1][j - 1] + (a[i - 1] != b[j - 1] ? 1 : 0)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

}  // namespace

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
