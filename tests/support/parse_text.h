// Reading documents held in strings, and comparing trees, for tests.
#ifndef ZOVESK_TESTS_PARSE_TEXT_H
#define ZOVESK_TESTS_PARSE_TEXT_H

#include <memory>
#include <string>

#include "velt_graph_config.h"
#include "velt_graph_config_node.h"
#include "velt_parser.h"

namespace zovesk_test {

using TreePtr = std::unique_ptr<VELT::IGraphConfig>;

// The tree a reader makes of text (null when it makes none).
TreePtr parseText(VELT::VELTParser& parser, const std::string& text);
// The same with a fresh reader.
TreePtr parseText(const std::string& text);
// The tree read from a file.
TreePtr parseFile(const std::string& path);

// The node behind an interface pointer, or null.
inline VELT::GraphConfigNode* asNode(VELT::IGraphConfig* config) {
    return static_cast<VELT::GraphConfigNode*>(config);
}

// Empty when both trees hold the same keys, kinds and values in the same
// order; otherwise a description of the first difference.
std::string describeTreeDifference(const VELT::GraphConfigNode& a, const VELT::GraphConfigNode& b);

// Writes text to a file (replacing it) and returns the path.
std::string writeFile(const std::string& path, const std::string& text);
// A fresh directory for one test's files.
std::string makeTempDir();

}  // namespace zovesk_test

#endif
