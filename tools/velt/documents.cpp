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
    if (type != "xml" && type != "gz") {
        throw ToolError(documentName(what, path) +
                        ": the file name must end in .xml (plain) or .gz (gzip)");
    }
    // The reader goes by the name alone; a compressed .xml would fail with a
    // bare syntax error.
    if (type == "xml" && startsWithGzipMagic(fileHead(path))) {
        throw ToolError(documentName(what, path) +
                        " is gzip-compressed: rename it to end in .gz, or decompress it");
    }
}

// The tree of a parse, or ToolError with the reader's messages.
Tree parseDocument(const std::string& path, const std::string& what) {
    LogCapture errors(ZO_LOG_ERROR);
    VELT::IGraphConfig* root = nullptr;
    {
        VELT::VELTParser parser;
        if (path == kStandardInput) {
            std::string bytes = readStandardInput();
            if (startsWithGzipMagic(bytes)) {
                bytes = gunzip(bytes, documentName(what, path));
            }
            parser.parseVELTXmlData(bytes.data(), bytes.size(), &root);
        } else {
            checkReadableFile(path, what);
            parser.parseVELTXmlFile(path.c_str(), &root);
        }
    }
    // After a syntax error the reader hands out the innermost open node; the
    // tree to free is the one above it.
    Tree tree(root != nullptr ? root->getRoot() : nullptr);
    if (!tree || !errors.messages().empty()) {
        throw ToolError("cannot read " + documentName(what, path), kExitBadInput,
                        errors.messages());
    }
    return tree;
}

}  // namespace

const char* const kStandardInput = "-";

bool isDescriptor(const VELT::IGraphConfig& root) {
    return childNamed(root, "graphs") != nullptr;
}

bool isSettings(const VELT::IGraphConfig& root) {
    return !settingsEntries(root).empty();
}

Tree readDocument(const std::string& path, DocumentKind kind) {
    Tree tree = parseDocument(path, kindName(kind));
    // A descriptor holds "graphs" (and "nodes"); settings hold "settings" entries.
    bool ok = kind == DocumentKind::kDescriptor ? isDescriptor(*tree) : isSettings(*tree);
    if (!ok) {
        throw ToolError(
            std::string("'") + path + "' is not a " + kindName(kind) +
            (kind == DocumentKind::kDescriptor ? " (no <graphs>)" : " (no <settings> entries)"));
    }
    return tree;
}

Tree readAnyDocument(const std::string& path) {
    Tree tree = parseDocument(path, "document");
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
