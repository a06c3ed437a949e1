#include "lint/check_run.h"

#include "documents.h"
#include "lint/attribute_rules.h"
#include "lint/descriptor_index.h"
#include "lint/reference_rules.h"
#include "node_view.h"
#include "zo_log_common.h"

namespace velt_tool {
namespace lint {

namespace {

// Reader messages about elements it could not store: the attribute rules
// name the element, so the document is still worth checking.
bool isDroppedElement(const LogMessage& message) {
    return message.text == "Error adding name attribute" ||
           message.text == "Error while adding attribute";
}

// Reads one document for checking: null after a syntax error (reported).
Tree readForCheck(const std::string& path, DocumentKind kind, Diagnostics& out) {
    ParsedDocument document = parseDocument(path, kind);
    const VELT::VELTParseError& syntax = document.syntaxError;
    if (!syntax.message.empty()) {
        out.add(Severity::kError, "xml-syntax", path, {syntax.line, syntax.column},
                "XML syntax error: " + syntax.message);
        return nullptr;
    }
    std::vector<LogMessage> unexplained;
    for (const LogMessage& message : document.errors) {
        if (!isDroppedElement(message)) {
            unexplained.push_back(message);
        }
    }
    if (!document.tree || !unexplained.empty()) {
        throw ToolError("cannot read '" + path + "'" +
                        (unexplained.empty() ? "" : ":\n" + describeMessages(unexplained)));
    }
    checkDocumentKind(*document.tree, path, kind);
    return std::move(document.tree);
}

void checkVersions(CheckRun& run, Documents& documents, const SourceDocument& settings) {
    run.descriptorVersion = textAttribute(*documents.descriptor, "version").value_or("");
    run.settingsVersion = textAttribute(*documents.settings, "version").value_or("");
    LogCapture messages(ZO_LOG_ERROR | ZO_LOG_WARNING);
    run.version.status = documents.manager.validateSettingsAgainstDescriptor();
    run.version.messages = messages.messages();
    SourcePosition position =
        settings.elements().empty() ? SourcePosition{1, 1} : settings.element(0).position;
    const SourceAttribute* version =
        settings.elements().empty() ? nullptr : settings.element(0).attribute("version");
    for (const LogMessage& message : run.version.messages) {
        run.diagnostics.add(Severity::kWarning, "version-mismatch", settings.path(),
                            version != nullptr ? version->valueStart : position, message.text);
    }
}

// The settings element of the index-th library entry: the index-th
// <settings> element when its key agrees, else the first with the key.
size_t entryElement(const std::vector<SourceEntry>& entries, size_t index, int key) {
    if (index < entries.size() && entries[index].key == key) {
        return entries[index].element;
    }
    for (const SourceEntry& entry : entries) {
        if (entry.key == key) {
            return entry.element;
        }
    }
    return 0;
}

}  // namespace

namespace {

// Findings point into the text an author wrote; a compiled file keeps none of it.
void refuseCompiled(const std::string& path) {
    const std::string suffix = ".veltbin";
    if (path.size() >= suffix.size() &&
        path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0) {
        throw ToolError("'" + path +
                        "' is a compiled document: check the XML it was compiled from, and "
                        "compare the two with 'velt compile DOCUMENT --check " +
                        path + "'");
    }
}

}  // namespace

CheckRun runChecks(const std::string& descriptorPath, const std::string& settingsPath) {
    refuseCompiled(descriptorPath);
    refuseCompiled(settingsPath);
    CheckRun run;
    // The dictionary as the reader finds it, before the documents add names.
    KnownNames names;
    auto documents = std::make_unique<Documents>();
    documents->descriptor =
        readForCheck(descriptorPath, DocumentKind::kDescriptor, run.diagnostics);
    documents->settings = readForCheck(settingsPath, DocumentKind::kSettings, run.diagnostics);

    const SourceDocument descriptor = readSourceDocument(descriptorPath);
    const SourceDocument settings = readSourceDocument(settingsPath);
    const DescriptorIndex index(descriptor);
    if (documents->descriptor) {
        checkAttributes(descriptor, true, names, run.diagnostics);
        checkDescriptorReferences(descriptor, index, run.diagnostics);
    }
    if (!documents->settings) {
        return run;
    }
    checkAttributes(settings, false, names, run.diagnostics);
    if (!documents->descriptor) {
        return run;
    }
    checkSettingsReferences(settings, index, run.diagnostics);

    documents->manager.setGraphDescriptor(documents->descriptor.get());
    documents->manager.setGraphSettings(documents->settings.get());
    checkVersions(run, *documents, settings);
    const std::vector<SourceEntry> sources = sourceEntries(settings);
    std::vector<VELT::IGraphConfig*> entries = settingsEntries(*documents->settings);
    for (size_t i = 0; i < entries.size(); ++i) {
        const EntrySource source{settings, entryElement(sources, i, entryKey(*entries[i]))};
        run.entries.push_back(checkEntry(*documents, entries[i], source, run.diagnostics));
    }
    run.built = true;
    return run;
}

int checkExitStatus(const CheckRun& run, bool werror) {
    const size_t failures = run.diagnostics.count(Severity::kError) +
                            (werror ? run.diagnostics.count(Severity::kWarning) : 0);
    return failures == 0 ? kExitOk : kExitFailed;
}

namespace {

size_t failedEntries(const CheckRun& run) {
    size_t failed = 0;
    for (const EntryResult& entry : run.entries) {
        failed += entry.ok() ? 0 : 1;
    }
    return failed;
}

nlohmann::json messagesJson(const std::vector<LogMessage>& messages) {
    nlohmann::json list = nlohmann::json::array();
    for (const LogMessage& message : messages) {
        list.push_back(
            {{"level", logLevelName(message.level)}, {"tag", message.tag}, {"text", message.text}});
    }
    return list;
}

nlohmann::json stepJson(const StepResult& step) {
    return {{"status", step.status}, {"messages", messagesJson(step.messages)}};
}

}  // namespace

void printCheckReport(const CheckRun& run, bool withNotes, std::ostream& out) {
    for (const Diagnostic& diagnostic : run.diagnostics.sorted()) {
        if (withNotes || diagnostic.severity != Severity::kNote) {
            out << formatDiagnostic(diagnostic) << '\n';
        }
    }
    if (run.built) {
        out << "version: settings \"" << run.settingsVersion << "\", descriptor \""
            << run.descriptorVersion << "\": " << (run.version.messages.empty() ? "ok" : "warning")
            << '\n';
        for (const EntryResult& entry : run.entries) {
            out << "settings " << entry.key << " (graph " << entry.graphId
                << "): " << (entry.ok() ? "ok" : "FAILED") << '\n';
        }
        const size_t failed = failedEntries(run);
        out << run.entries.size() << " entries, " << run.entries.size() - failed << " ok, "
            << failed << " failed\n";
    }
    out << run.diagnostics.count(Severity::kError) << " errors, "
        << run.diagnostics.count(Severity::kWarning) << " warnings, "
        << run.diagnostics.count(Severity::kNote) << " notes\n";
}

nlohmann::json checkReportJson(const CheckRun& run, bool withNotes, bool werror) {
    nlohmann::json diagnostics = nlohmann::json::array();
    for (const Diagnostic& diagnostic : run.diagnostics.sorted()) {
        if (withNotes || diagnostic.severity != Severity::kNote) {
            diagnostics.push_back(diagnosticJson(diagnostic));
        }
    }
    nlohmann::json entries = nlohmann::json::array();
    for (const EntryResult& result : run.entries) {
        nlohmann::json entry = {{"key", result.key},
                                {"graph_id", result.graphId},
                                {"ok", result.ok()},
                                {"graph", stepJson(result.graph)}};
        if (result.kernelsTried) {
            entry["kernels"] = stepJson(result.kernels);
        }
        entries.push_back(entry);
    }
    return {{"ok", checkExitStatus(run, werror) == kExitOk},
            {"diagnostics", diagnostics},
            {"version",
             {{"descriptor", run.descriptorVersion},
              {"settings", run.settingsVersion},
              {"status", run.version.status},
              {"matching", run.version.messages.empty()},
              {"messages", messagesJson(run.version.messages)}}},
            {"entries", entries},
            {"summary",
             {{"entries", run.entries.size()},
              {"failed", failedEntries(run)},
              {"errors", run.diagnostics.count(Severity::kError)},
              {"warnings", run.diagnostics.count(Severity::kWarning)},
              {"notes", run.diagnostics.count(Severity::kNote)}}}};
}

}  // namespace lint
}  // namespace velt_tool
