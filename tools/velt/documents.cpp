#include "documents.h"

#include <sys/stat.h>
#include <fstream>

#include "cli_common.h"
#include "input_bytes.h"
#include "node_view.h"
#include "velt_parser.h"
#include "zo_log_common.h"

namespace velt_tool {

namespace {

const char* kindName(DocumentKind kind) {
    return kind == DocumentKind::kDescriptor ? "graph descriptor" : "graph settings";
}

// How a document is named in messages: its kind and path, or standard input.
std::string documentName(const std::string& what, const std::string& path) {
    return path == kStandardInput ? what + " on standard input" : what + " '" + path + "'";
}

void checkReadableFile(const std::string& path, const std::string& what) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        throw ToolError(documentName(what, path) + " does not exist");
    }
    if (!S_ISREG(info.st_mode)) {
        throw ToolError(documentName(what, path) + " is not a file");
    }
    if (!std::ifstream(path).good()) {
        throw ToolError(documentName(what, path) + " cannot be read");
    }
    size_t dot = path.rfind('.');
    std::string type = dot == std::string::npos ? "" : path.substr(dot + 1);
    if (type != "xml" && type != "gz" && type != "veltbin") {
        throw ToolError(documentName(what, path) +
                        ": the file name must end in .xml (plain), .gz (gzip) or .veltbin "
                        "(compiled)");
    }
    // The reader goes by the name alone; a compressed .xml would fail with a
    // bare syntax error.
    if (type == "xml" && startsWithGzipMagic(fileHead(path))) {
        throw ToolError(documentName(what, path) +
                        " is gzip-compressed: rename it to end in .gz, or decompress it");
    }
}

ParsedDocument parse(const std::string& path, const std::string& what) {
    if (path != kStandardInput) {
        checkReadableFile(path, what);
    }
    LogCapture errors(ZO_LOG_ERROR);
    VELT::IGraphConfig* root = nullptr;
    ParsedDocument document;
    {
        VELT::VELTParser parser;
        if (path == kStandardInput) {
            std::string bytes = readStandardInput();
            if (startsWithGzipMagic(bytes)) {
                bytes = gunzip(bytes, documentName(what, path));
            }
            parser.parseVELTXmlData(bytes.data(), bytes.size(), &root);
        } else {
            parser.parseVELTXmlFile(path.c_str(), &root);
        }
        document.syntaxError = parser.lastError();
    }
    // After a syntax error the reader hands out the innermost open node; the
    // tree to free is the one above it.
    document.tree.reset(root != nullptr ? root->getRoot() : nullptr);
    document.errors = errors.messages();
    return document;
}

// The tree of a parse, or ToolError with where the document is broken and
// the reader's messages.
Tree readTree(const std::string& path, const std::string& what) {
    ParsedDocument document = parse(path, what);
    if (!document.tree || !document.errors.empty()) {
        const VELT::VELTParseError& syntax = document.syntaxError;
        std::string summary = "cannot read " + documentName(what, path);
        if (!syntax.message.empty()) {
            summary += " (" + (path == kStandardInput ? std::string("-") : path) + ":" +
                       std::to_string(syntax.line) + ":" + std::to_string(syntax.column) + ": " +
                       syntax.message + ")";
        }
        throw ToolError(summary, kExitBadInput, document.errors);
    }
    return std::move(document.tree);
}

}  // namespace

const char* const kStandardInput = "-";

bool isDescriptor(const VELT::IGraphConfig& root) {
    return childNamed(root, "graphs") != nullptr;
}

bool isSettings(const VELT::IGraphConfig& root) {
    return !settingsEntries(root).empty();
}

ParsedDocument parseDocument(const std::string& path, DocumentKind kind) {
    return parse(path, kindName(kind));
}

// A descriptor holds "graphs" (and "nodes"); settings hold "settings" entries.
void checkDocumentKind(const VELT::IGraphConfig& root, const std::string& path, DocumentKind kind) {
    bool ok = kind == DocumentKind::kDescriptor ? isDescriptor(root) : isSettings(root);
    if (!ok) {
        throw ToolError(
            std::string("'") + path + "' is not a " + kindName(kind) +
            (kind == DocumentKind::kDescriptor ? " (no <graphs>)" : " (no <settings> entries)"));
    }
}

Tree readDocument(const std::string& path, DocumentKind kind) {
    Tree tree = readTree(path, kindName(kind));
    checkDocumentKind(*tree, path, kind);
    return tree;
}

Tree readAnyDocument(const std::string& path) {
    Tree tree = readTree(path, "document");
    if (!isDescriptor(*tree) && !isSettings(*tree)) {
        throw ToolError(documentName("document", path) +
                        " is neither a graph descriptor (no <graphs>) nor graph settings (no "
                        "<settings> entries)");
    }
    return tree;
}

std::unique_ptr<Documents> readDocuments(const std::string& descriptorPath,
                                         const std::string& settingsPath) {
    if (descriptorPath == kStandardInput && settingsPath == kStandardInput) {
        throw ToolError("only one of the two documents can come from standard input ('-')");
    }
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

ToolError failedStep(const std::string& what, int status, const std::vector<LogMessage>& messages) {
    return ToolError(what + " failed (status " + std::to_string(status) + ")", kExitFailed,
                     messages);
}

}  // namespace velt_tool
