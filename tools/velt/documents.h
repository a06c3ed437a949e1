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

// The path that stands for standard input.
extern const char* const kStandardInput;

// A document as the reader left it: the tree (null when there is none), the
// reader's error messages and, after a syntax error, where it stopped.
struct ParsedDocument {
    Tree tree;
    std::vector<LogMessage> errors;
    VELT::VELTParseError syntaxError;
};

// Reads a plain (.xml), gzip (.gz) or compiled (.veltbin) document, or
// standard input for "-" (plain or gzip, by its first bytes), whatever it
// holds. ToolError (bad input) only when the file is missing, unreadable, of
// another type or compressed under a .xml name.
ParsedDocument parseDocument(const std::string& path, DocumentKind kind);
// ToolError (bad input) when root is not the expected kind of document.
void checkDocumentKind(const VELT::IGraphConfig& root, const std::string& path, DocumentKind kind);

// Reads a document as parseDocument does. ToolError (bad input) also when it
// fails to parse (with where it stopped and the reader's messages), or is not
// the expected kind of document.
Tree readDocument(const std::string& path, DocumentKind kind);
// The same for a document of either kind.
Tree readAnyDocument(const std::string& path);

// A descriptor holds "graphs"; settings hold "settings" entries.
bool isDescriptor(const VELT::IGraphConfig& root);
bool isSettings(const VELT::IGraphConfig& root);

// Both documents of a command, and a query manager that knows them.
struct Documents {
    Tree descriptor;
    Tree settings;
    VELT::GraphQueryManager manager;
};

// Reads both documents and hands them to the manager; at most one of them
// may come from standard input.
std::unique_ptr<Documents> readDocuments(const std::string& descriptorPath,
                                         const std::string& settingsPath);

// The "settings" entries of a settings tree, in stored order.
std::vector<VELT::IGraphConfig*> settingsEntries(const VELT::IGraphConfig& settings);
// The entry whose "key" is key; ToolError (bad input) listing the keys when none.
VELT::IGraphConfig* findSettingsEntry(const VELT::IGraphConfig& settings, int key);
// An entry's "key" and "id", -1 when missing.
int entryKey(const VELT::IGraphConfig& entry);
int entryGraphId(const VELT::IGraphConfig& entry);

// The error (failed) that ends a command when a library step fails:
// "WHAT failed (status N)" and the library's messages.
ToolError failedStep(const std::string& what, int status, const std::vector<LogMessage>& messages);

}  // namespace velt_tool

#endif
