// Small helpers for writing Graphviz DOT text.
#ifndef VELT_TOOL_DOT_WRITER_H
#define VELT_TOOL_DOT_WRITER_H

#include <string>
#include <vector>

namespace velt_tool {

// text as a quoted DOT string; line breaks become centred DOT line breaks.
std::string dotQuote(const std::string& text);

// Lines joined into one label, empty lines dropped.
std::string dotLabel(const std::vector<std::string>& lines);

// A cluster name made only of characters DOT accepts unquoted.
std::string dotClusterId(const std::string& name);

}  // namespace velt_tool

#endif
