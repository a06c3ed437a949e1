// Loading graph descriptors and graph settings, finding settings entries, and
// building result graphs, with errors worded for the command line.
#ifndef VELT_TOOL_DOCUMENTS_H
#define VELT_TOOL_DOCUMENTS_H

#include <memory>
#include <string>
#include <vector>

#include "cli_common.h"
#include "log_router.h"
#include "velt_graph_config.h"
#include "velt_graph_query_manager.h"
#include "velt_parser.h"

namespace velt_tool {

// A document tree; deleting the root deletes the tree.
using Tree = std::unique_ptr<VELT::IGraphConfig>;

enum class DocumentKind { kDescriptor, kSettings };

// A document as the reader left it: the tree (null when there is none), the
// reader's error messages and, after a syntax error, where it stopped.
struct ParsedDocument {
    Tree tree;
    std::vector<LogMessage> errors;
    VELT::VELTParseError syntaxError;
};

// Reads a plain (.xml) or gzip (.gz) document whatever it holds. ToolError
// (bad input) only when the file is missing, unreadable or of another type.
ParsedDocument parseDocument(const std::string& path, DocumentKind kind);
// ToolError (bad input) when root is not the expected kind of document.
void checkDocumentKind(const VELT::IGraphConfig& root, const std::string& path, DocumentKind kind);

// Reads a plain (.xml) or gzip (.gz) document. ToolError (bad input) when the
// file is missing or unreadable, has another type, fails to parse (with the
// reader's messages), or is not the expected kind of document.
Tree readDocument(const std::string& path, DocumentKind kind);

// Both documents of a command, and a query manager that knows them.
struct Documents {
    Tree descriptor;
    Tree settings;
    VELT::GraphQueryManager manager;
};

// Reads both documents and hands them to the manager.
std::unique_ptr<Documents> readDocuments(const std::string& descriptorPath,
                                         const std::string& settingsPath);

// The "settings" entries of a settings tree, in stored order.
std::vector<VELT::IGraphConfig*> settingsEntries(const VELT::IGraphConfig& settings);
// The entry whose "key" is key; ToolError (bad input) listing the keys when none.
VELT::IGraphConfig* findSettingsEntry(const VELT::IGraphConfig& settings, int key);
// An entry's "key" and "id", -1 when missing.
int entryKey(const VELT::IGraphConfig& entry);
int entryGraphId(const VELT::IGraphConfig& entry);

// The messages joined one per line, each as "level: text".
std::string describeMessages(const std::vector<LogMessage>& messages);

// The error (failed) that ends a command when a library step fails:
// "WHAT failed (status N)" and the library's messages.
ToolError failedStep(const std::string& what, int status, const std::vector<LogMessage>& messages);

}  // namespace velt_tool

#endif
