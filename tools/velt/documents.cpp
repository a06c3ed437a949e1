#include "documents.h"

#include <sys/stat.h>
#include <fstream>

#include "cli_common.h"
#include "node_view.h"
#include "velt_parser.h"
#include "zo_log_common.h"

namespace velt_tool {

namespace {

const char* kindName(DocumentKind kind) {
    return kind == DocumentKind::kDescriptor ? "graph descriptor" : "graph settings";
}

void checkReadableFile(const std::string& path, DocumentKind kind) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        throw ToolError(std::string(kindName(kind)) + " '" + path + "' does not exist");
    }
    if (!S_ISREG(info.st_mode)) {
        throw ToolError(std::string(kindName(kind)) + " '" + path + "' is not a file");
    }
    if (!std::ifstream(path).good()) {
        throw ToolError(std::string(kindName(kind)) + " '" + path + "' cannot be read");
    }
    size_t dot = path.rfind('.');
    std::string type = dot == std::string::npos ? "" : path.substr(dot + 1);
    if (type != "xml" && type != "gz" && type != "veltbin") {
        throw ToolError(std::string(kindName(kind)) + " '" + path +
                        "': the file name must end in .xml (plain), .gz (gzip) or .veltbin "
                        "(compiled)");
    }
}

}  // namespace

// A descriptor holds "graphs" (and "nodes"); settings hold "settings" entries.
void checkDocumentKind(const VELT::IGraphConfig& root, const std::string& path, DocumentKind kind) {
    bool ok = kind == DocumentKind::kDescriptor ? childNamed(root, "graphs") != nullptr
                                                : !settingsEntries(root).empty();
    if (!ok) {
        throw ToolError(
            std::string("'") + path + "' is not a " + kindName(kind) +
            (kind == DocumentKind::kDescriptor ? " (no <graphs>)" : " (no <settings> entries)"));
    }
}

ParsedDocument parseDocument(const std::string& path, DocumentKind kind) {
    checkReadableFile(path, kind);
    LogCapture errors(ZO_LOG_ERROR);
    VELT::IGraphConfig* root = nullptr;
    ParsedDocument document;
    {
        VELT::VELTParser parser;
        parser.parseVELTXmlFile(path.c_str(), &root);
        document.syntaxError = parser.lastError();
    }
    // After a syntax error the reader hands out the innermost open node; the
    // tree to free is the one above it.
    document.tree.reset(root != nullptr ? root->getRoot() : nullptr);
    document.errors = errors.messages();
    return document;
}

Tree readDocument(const std::string& path, DocumentKind kind) {
    ParsedDocument document = parseDocument(path, kind);
    const VELT::VELTParseError& syntax = document.syntaxError;
    if (!document.tree || !document.errors.empty()) {
        // Where the document is broken first, then the reader's own messages.
        std::string details = syntax.message.empty()
                                  ? ""
                                  : "  " + path + ":" + std::to_string(syntax.line) + ":" +
                                        std::to_string(syntax.column) + ": " + syntax.message;
        if (!document.errors.empty()) {
            details += (details.empty() ? "" : "\n") + describeMessages(document.errors);
        }
        throw ToolError(std::string("cannot read ") + kindName(kind) + " '" + path + "'" +
                        (details.empty() ? "" : ":\n" + details));
    }
    checkDocumentKind(*document.tree, path, kind);
    return std::move(document.tree);
}

std::unique_ptr<Documents> readDocuments(const std::string& descriptorPath,
                                         const std::string& settingsPath) {
    auto documents = std::make_unique<Documents>();
    documents->descriptor = readDocument(descriptorPath, DocumentKind::kDescriptor);
    documents->settings = readDocument(settingsPath, DocumentKind::kSettings);
    documents->manager.setGraphDescriptor(documents->descriptor.get());
    documents->manager.setGraphSettings(documents->settings.get());
    return documents;
}

std::vector<VELT::IGraphConfig*> settingsEntries(const VELT::IGraphConfig& settings) {
    return childNodesNamed(settings, "settings");
}

int entryKey(const VELT::IGraphConfig& entry) {
    return intAttribute(entry, "key").value_or(-1);
}

int entryGraphId(const VELT::IGraphConfig& entry) {
    return intAttribute(entry, "id").value_or(-1);
}

VELT::IGraphConfig* findSettingsEntry(const VELT::IGraphConfig& settings, int key) {
    std::string keys;
    for (VELT::IGraphConfig* entry : settingsEntries(settings)) {
        if (entryKey(*entry) == key) {
            return entry;
        }
        keys += (keys.empty() ? "" : ", ") + std::to_string(entryKey(*entry));
    }
    throw ToolError("no settings entry with key " + std::to_string(key) + " (keys: " + keys + ")");
}

std::string describeMessages(const std::vector<LogMessage>& messages) {
    std::string text;
    for (const LogMessage& message : messages) {
        text += (text.empty() ? "" : "\n") + std::string("  ") + logLevelName(message.level) +
                ": " + message.text;
    }
    return text;
}

ToolError failedStep(const std::string& what, int status, const std::vector<LogMessage>& messages) {
    return ToolError(what + " failed (status " + std::to_string(status) + ")" +
                         (messages.empty() ? "" : ":\n" + describeMessages(messages)),
                     kExitFailed);
}

}  // namespace velt_tool
